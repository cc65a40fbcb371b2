// Allocation in the plugin DLL. What the plugin allocates is bounded (a
// template file of 16 MB at most, page lines of 32 MB at most, a 64 KB page
// buffer, header blocks of a few KB), so an allocation fails only when the
// host's address space is already exhausted. Code built without exceptions
// cannot give that failure back to the host, and a bad_alloc thrown here
// would end in std::terminate anyway, through whichever unwinder the process
// happens to have. So the plugin ends the process at once, and says so.
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
