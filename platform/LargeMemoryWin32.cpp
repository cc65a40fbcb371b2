// Large blocks in the plugin come from the process heap through the Win32
// table, so that a test can make exactly these allocations fail.
#include "platform/LargeMemory.h"

#include "platform/Win32Api.h"

int LargeAllocationsLeft = -1;

void* TryAllocate(size_t size) {
  if (LargeAllocationsLeft == 0) return nullptr;
  if (LargeAllocationsLeft > 0) --LargeAllocationsLeft;
  return Win32.HeapAlloc(Win32.GetProcessHeap(), 0, size);
}

void ReleaseBlock(void* block) {
  if (block) Win32.HeapFree(Win32.GetProcessHeap(), 0, block);
}
