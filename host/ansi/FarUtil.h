// The one owner of the host's service table. Everything else reaches the host
// through these functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/ansi/DialogBuilder.h"
#include "host/ansi/FARIntf.h"

// Procedure run right after SetStartupInfo has stored the host's table.
extern void (*StartupHook)();

// Copies the host's record (336 bytes on 32-bit, 408 on 64-bit, or fewer
// when the host's StructSize says so) and runs StartupHook.
void StoreStartupInfo(const PluginStartupInfo* info);

// The host's text for a message number; owned by the host.
const char* GetMsg(int msgId);

// The library's full path, as the host gave it (OEM code page).
std::string ModuleName();

// The host's registry root for plugins, below HKEY_CURRENT_USER, in the OEM
// code page ("" before start-up).
std::string RootKey();

// Fills the announcement for the host's plugins and configuration menus.
void FillPluginInfo(PluginInfo* info);

// Shows the five-line command menu with one line highlighted (an index
// outside 0..4 highlights the first). Returns the chosen index or -1.
int ShowCommandMenu(int highlight);

// Builds the host's items from the description, runs the host's dialog and
// stores edited states and texts back when the result is not -1.
int RunDialog(const char* helpTopic, const TDialogDescription& description, int width, int height);

// Asks the host for the active panel; the call's result is not examined.
void GetActivePanelInfo(PanelInfo* panel);

// Shows a warning with the plugin's title over the lines (host text, OEM)
// and the host's OK button, and waits for it.
void ShowMessage(const std::vector<std::string>& lines);

// Draws the host's progress box: the plugin's title over the lines, no
// buttons; the host paints it and returns at once.
void ShowProgressBox(const std::vector<std::string>& lines);

// The whole screen as it is, to be put back by RestoreHostScreen (which
// takes null for nothing to restore).
void* SaveHostScreen();
void RestoreHostScreen(void* screen);
