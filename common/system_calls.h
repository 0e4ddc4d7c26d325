// Functions of Windows' own DLLs that only newer versions have: looked up at run
// time, so that the installer still starts where they are missing.
#pragma once
#include <windows.h>

// `name` from `module` (null: none), as a function of type F; null where the module
// lacks it.
template <typename F>
F module_function(HMODULE module, const char* name) {
  FARPROC found = module ? GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(found));
}

// `name` from the already loaded system module `module`, as a function of type F;
// null where this Windows lacks it.
template <typename F>
F system_function(const char* module, const char* name) {
  return module_function<F>(GetModuleHandleA(module), name);
}
