// Allocation of small objects in the plugin DLL. Every block whose size the
// input decides (template files, the line being built, the page buffer, the
// list of the selection) comes from TryAllocate, which may fail, and the
// command then fails with a message (platform/LargeMemory.h). What is left
// here is small: names, texts, the probe's header blocks of a few KB. Code
// built without exceptions cannot give such a failure back to the host, and
// a bad_alloc thrown here would end in std::terminate anyway, through
// whichever unwinder the process happens to have. So, as the last resort,
// the plugin ends the process at once, and says so.
#include <cstdio>
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
  if (void* block = std::malloc(size ? size : 1)) return block;
  std::fputs("Galvora: out of memory\n", stderr);
  std::abort();
}

void* operator new[](std::size_t size) { return ::operator new(size); }

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
