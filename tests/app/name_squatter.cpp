// Holds the name of the installer's one-copy mutex with an event, as a program that
// means to run a second copy beside the first could, while it runs a command:
//   name_squatter PROGRAM [ARGUMENTS...]
// Exits with the command's exit code (2 when it cannot start).
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
  HANDLE squat = CreateEventA(nullptr, TRUE, FALSE, " ");
  std::string line;
  for (int i = 1; i < argc; ++i) line += std::string(i > 1 ? " \"" : "\"") + argv[i] + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!squat || argc < 2 ||
      !CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return 2;
  DWORD code = 2;
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &code);
  return static_cast<int>(code);
}
