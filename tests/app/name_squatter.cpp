// Holds the name of the installer's one-copy mutex with an event, as a program that
// means to run a second copy beside the first could, while it runs a program:
//   name_squatter PROGRAM [ARGUMENTS...]   (no blanks in them)
// Exits with the program's exit code (2 when the event cannot be made).
#include <windows.h>
#include <process.h>

int main(int, char** argv) {
  if (!argv[1] || !CreateEventA(nullptr, TRUE, FALSE, " ")) return 2;
  return static_cast<int>(_spawnv(_P_WAIT, argv[1], argv + 1));
}
