// The installer's entry point: one instance at a time, the skin painter around
// the modal installer dialog, the unattended install when /S is given, or the
// removal of the carried plug-ins with /U.
#include <windows.h>

#include "app_state.h"
#include "bounded_text.h"
#include "code_page.h"
#include "command_line.h"
#include "run_result.h"
#include "handles.h"
#include "host_probes.h"
#include "installer_dialog.h"
#include "painter.h"
#include "removal_run.h"
#include "resource_ids.h"
#include "silent_install.h"
#include "system_calls.h"

namespace {

constexpr char INSTANCE_MUTEX[] = " ";

// An installer is often started from a downloads folder, where a planted DLL of a
// system name would otherwise be loaded before Windows' own. The call exists from
// Windows 8 (and 7 with its update) on, so it is looked up at run time.
void restrict_dll_search() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto restrict = system_function<SetDefaultDllDirectoriesFn>("kernel32.dll", "SetDefaultDllDirectories");
  if (restrict) restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Without /S the usage is a message box; with /S it goes to the console of the
// program that started the installer, when there is one.
void show_usage(int silent) {
  if (!silent) {
    MessageBoxA(nullptr, COMMAND_LINE_USAGE, DIALOG_TITLE, MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), COMMAND_LINE_USAGE, static_cast<DWORD>(text_length(COMMAND_LINE_USAGE)), &written, nullptr);
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "\r\n", 2, &written, nullptr);
}  // the process ends next, and with it the attachment

void log_start(const char* command_line) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  log_format(run_log, "Veltrane Plugins setup started %04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
             now.wDay, now.wHour, now.wMinute, now.wSecond);
  log_format(run_log, "command line: %s", command_line);
}

void run_dialog(HINSTANCE instance, const CommandLine& options) {
  copy_text(installer_dialog.preset_folder, options.target);
  skin_painter = new SkinPainter(&control_host, instance);
  if (DialogBoxParamA(instance, MAIN_DIALOG_NAME, nullptr, installer_dialog_proc, 0) != 0)
    MessageBoxA(nullptr, "E", nullptr, MB_OK);
  delete skin_painter;
  skin_painter = nullptr;
}

// Everything after the command line is read and the log opened. The exit code
// matters only with /S; without it the installer always ends with 0.
int run(HINSTANCE instance, const CommandLine& options, int well_formed) {
  if (!well_formed && options.silent) {
    end_run(run_log, EXIT_BAD_COMMAND_LINE,
            options.lost ? "bad command line: characters outside the code page" : "bad command line");
    show_usage(options.silent);
    return EXIT_BAD_COMMAND_LINE;
  }
  // Without /S the installer starts whatever else is on the line (another
  // installer's switches, a stray word); only its own switches count.
  if (!well_formed) log_line(run_log, "arguments that are not switches of this installer are ignored");
  if (options.show_usage) {
    show_usage(options.silent);
    return 0;
  }
  // A name that another kind of object holds already makes the mutex fail: that
  // counts as another copy running too, or a squatter could run two copies at once.
  KernelHandle instance_mutex(CreateMutexA(nullptr, TRUE, INSTANCE_MUTEX));
  if (!instance_mutex.valid() || GetLastError() == ERROR_ALREADY_EXISTS) {
    int code = end_run(run_log, EXIT_ALREADY_RUNNING, "another copy of the installer is running");
    return options.silent ? code : 0;
  }
  // An argument the code page cannot hold (its characters stand as LOST_CHARACTER)
  // matches no switch and names no file: /D= refuses it (with /S the run ended
  // above), a /LOG= file of that name cannot be opened.
  if (options.lost && !options.silent)
    MessageBoxA(nullptr, "An argument with characters outside the code page is ignored.", DIALOG_TITLE,
                MB_OK | MB_ICONWARNING);
  instance_handle = instance;
  int exit_code = 0;
  if (options.silent && options.uninstall)
    exit_code = run_silent_removal(options.target);
  else if (options.silent && options.all)
    exit_code = run_silent_install_all();
  else if (options.silent)
    exit_code = run_silent_install(options.target, options.architecture);
  else if (options.uninstall)
    run_removal_with_messages(options.target);
  else
    run_dialog(instance, options);
  if (instance_mutex.valid()) ReleaseMutex(instance_mutex.get());
  return exit_code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  restrict_dll_search();
  reset_program_tables();
  const char* command_line = narrow_command_line();
  static CommandLine options;  // static: two 400-byte paths; zero-initialised before parsing
  int well_formed = parse_command_line(command_line, &options);
  if (options.silent) SetErrorMode(SEM_FAILCRITICALERRORS);  // no "insert a disk" boxes either
  if (options.log_path[0]) open_install_log(run_log, options.log_path);
  log_start(command_line);
  int exit_code = run(instance, options, well_formed);
  // Closed here: the program has no destructors that would.
  close_install_log(run_log);
  end_host_file_search();
  return exit_code;
}
