#pragma once

// The plugin's menu: shows it, runs the chosen command, and shows it again
// after the settings dialog. The plugin never opens a panel of its own.
void RunCommandMenu();

// The settings dialog from the host's configuration menu.
void RunConfigure();
