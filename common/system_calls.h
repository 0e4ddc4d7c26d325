// Functions of Windows' own DLLs that only newer versions have: looked up at run
// time, so that the installer still starts where they are missing.
#pragma once
#include <windows.h>

// `name` from the already loaded system module `module`, as a function of type F;
// null where this Windows lacks it.
template <typename F>
F system_function(const char* module, const char* name) {
  HMODULE loaded = GetModuleHandleA(module);
  FARPROC found = loaded ? GetProcAddress(loaded, name) : nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(found));
}
