// The installer's process start-up, in place of the C runtime's. The runtime's own
// start-up code sets up what this program never uses (argv and the environment,
// thread-local storage, runtime pseudo-relocations, floating-point and signal
// handlers, static constructors and destructors) and costs a fifth of the program's
// size. The runtime library itself (msvcrt.dll, a part of Windows) initialises
// itself when it is loaded, so its functions work as they do under the full start-up.
//
// The installer has no static constructors or destructors: its tables are
// zero-initialised storage that the program fills by explicit calls, and what it
// opens it closes itself. The build checks that the constructor list stays empty
// (cmake/startup_check.cmake), since nothing here would run one.
#include <windows.h>

#include "code_page.h"
#include "command_text.h"

// The program's entry point, the linker's default for GUI programs; nothing in the
// code calls it, so the whole-program compile is told that it is used. On x86 Windows
// enters it with a 4-byte aligned stack, and the product is compiled for exactly
// that alignment (-mpreferred-stack-boundary=2), so no function re-aligns it.
extern "C" __attribute__((used, externally_visible)) void __cdecl WinMainCRTStartup() {
  // The arguments lie inside the program's own, writable copy of its command line.
  char* arguments = const_cast<char*>(skip_program_name(narrow_command_line()));
  // WinMain shows no window of its own (the dialog is a dialog box), so it is not
  // told how the starting process asked for one.
  ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, arguments, SW_SHOWDEFAULT)));
}
