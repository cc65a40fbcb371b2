// What a long job of the plugin looks at while it runs: the clock, and the
// console's input for Esc.
#pragma once

#include <cstdint>

// Milliseconds since the system started (wraps after 49 days).
uint32_t TickCount();

// Takes the pending console input events, if any, and looks for Esc among
// them; the other keys pressed meanwhile are taken too. Never waits.
bool EscPressed();
