// The installer's process start-up, in place of the C runtime's. The runtime's own
// start-up code sets up what this program never uses (argv and the environment,
// thread-local storage, runtime pseudo-relocations, floating-point and signal
// handlers) and costs a fifth of the program's size. The runtime library itself
// (msvcrt.dll, a part of Windows) initialises itself when it is loaded, so its
// functions work as they do under the full start-up.
//
// What a C++ program needs before WinMain is its static constructors; what it needs
// after it are the destructors those constructors registered with atexit.
#include <windows.h>

#include "command_text.h"

namespace {

using StaticFunction = void (*)();

// Objects with static storage that register a destructor; the product has a few.
constexpr int EXIT_FUNCTION_CAPACITY = 32;
StaticFunction exit_functions[EXIT_FUNCTION_CAPACITY];
int exit_function_count;

}  // namespace

extern "C" {

// Laid out by the linker script: -1, the constructors of every object file, 0.
extern StaticFunction __CTOR_LIST__[];

// The compiler registers the destructor of every object with static storage here.
// A full table means that destructor does not run; the handles it would close are
// closed by the system when the process ends.
int __cdecl atexit(void(__cdecl* function)(void)) {
  if (exit_function_count == EXIT_FUNCTION_CAPACITY) return -1;
  exit_functions[exit_function_count++] = function;
  return 0;
}

}  // extern "C"

namespace {

// The same order as the runtime's own loop: from the last entry to the first.
void run_static_constructors() {
  int count = 0;
  while (__CTOR_LIST__[count + 1]) ++count;
  for (int i = count; i >= 1; --i) __CTOR_LIST__[i]();
}

void run_exit_functions() {
  while (exit_function_count > 0) exit_functions[--exit_function_count]();
}

// The show-window value the starting process asked for, or SW_SHOWDEFAULT.
int show_command() {
  STARTUPINFOA startup;
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

// The program's entry point, the linker's default for GUI programs. Windows calls
// it with only a 4-byte aligned stack on x86, so the stack is aligned here once.
extern "C"
#ifdef __i386__
    __attribute__((force_align_arg_pointer))
#endif
    void __cdecl WinMainCRTStartup() {
  run_static_constructors();
  // The arguments lie inside the process's own, writable command line.
  char* arguments = const_cast<char*>(skip_program_name(GetCommandLineA()));
  int exit_code = WinMain(GetModuleHandleA(nullptr), nullptr, arguments, show_command());
  run_exit_functions();
  ExitProcess(static_cast<UINT>(exit_code));
}
