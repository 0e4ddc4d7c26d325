// The installer's entry point. It stores the module handle that payload
// extraction reads; the installer dialog that uses it comes in with the dialog.
#include <windows.h>

#include "app_state.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  instance_handle = instance;
  return 0;
}
