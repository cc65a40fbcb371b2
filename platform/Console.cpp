#include "platform/Console.h"

#include "platform/Win32Api.h"

uint32_t TickCount() { return Win32.GetTickCount(); }

bool EscPressed() {
  HANDLE input = Win32.GetStdHandle(STD_INPUT_HANDLE);
  DWORD pending = 0;
  if (!Win32.GetNumberOfConsoleInputEvents(input, &pending)) return false;
  INPUT_RECORD events[16];
  while (pending > 0) {
    DWORD got = 0;
    if (!Win32.ReadConsoleInputW(input, events, pending < 16 ? pending : 16, &got) || got == 0) return false;
    for (DWORD i = 0; i < got; ++i) {
      const KEY_EVENT_RECORD& key = events[i].Event.KeyEvent;
      if (events[i].EventType == KEY_EVENT && key.bKeyDown && key.wVirtualKeyCode == VK_ESCAPE) return true;
    }
    pending = got < pending ? pending - got : 0;
  }
  return false;
}
