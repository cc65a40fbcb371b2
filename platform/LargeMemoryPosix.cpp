// Large blocks of the portable core on POSIX systems (native tests,
// fuzzing, benchmarks).
#include <cstdlib>

#include "platform/LargeMemory.h"

int LargeAllocationsLeft = -1;

void* TryAllocate(size_t size) {
  if (LargeAllocationsLeft == 0) return nullptr;
  if (LargeAllocationsLeft > 0) --LargeAllocationsLeft;
  return std::malloc(size);
}

void ReleaseBlock(void* block) { std::free(block); }
