// The installer's own allocation operators and pure-virtual trap. The standard
// throwing operator new drags in about 120 KB of exception support; the product
// never throws, so an allocation that fails simply yields null and the caller
// leaves that object or field empty.
#include <windows.h>
#include <stddef.h>

#include "exit_codes.h"

void* operator new(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }
void* operator new[](size_t size) { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }
void operator delete(void* block) noexcept {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}
void operator delete[](void* block) noexcept {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}
void operator delete(void* block, size_t) noexcept { operator delete(block); }
void operator delete[](void* block, size_t) noexcept { operator delete(block); }

// Called only if a destructor or constructor reaches a pure virtual slot: a bug. Its
// exit code is one that no run of the installer ends with.
extern "C" void __cxa_pure_virtual() { ExitProcess(EXIT_INTERNAL_ERROR); }
