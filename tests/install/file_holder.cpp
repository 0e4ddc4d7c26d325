// Holds a file open the way a running host editor holds a plug-in it has loaded:
// for reading, sharing reading only, so that no other program may write, replace or
// delete it meanwhile.
//
//   file_holder PATH READY_EVENT RELEASE_EVENT
//
// Sets the named READY_EVENT once the file is open, lets go of it when RELEASE_EVENT
// is set (or after a minute, so that a test that died leaves nothing held).
#include <windows.h>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
  HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
  if (!ready || !release) return 4;
  SetEvent(ready);
  DWORD waited = WaitForSingleObject(release, 60000);
  CloseHandle(file);
  return waited == WAIT_OBJECT_0 ? 0 : 5;
}
