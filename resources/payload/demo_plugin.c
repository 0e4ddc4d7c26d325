/* The demo plug-in the installer carries, built once for 32-bit (x86) and once for
 * 64-bit (x64) hosts: a small library that exports one entry point and holds the
 * demo's fixed bytes as data (make_demo_payload). It filters nothing; it shows that
 * the build a host can load lands in that host's folder. Built without the C
 * runtime, so the two builds are a few hundred bytes of code around the data.
 *
 * DEMO_DATA is the path of the data file, given by the build. */
#include <windows.h>

#include <stdint.h>

/* The fixed bytes, in the library's read-only data. */
__asm__(".section .rdata,\"dr\"\n"
        "demo_data:\n"
        ".incbin \"" DEMO_DATA "\"\n"
        ".text\n");

#define DEMO_DOES_NOTHING 1

/* The entry point a host calls with each request; the demo answers every one alike. */
__declspec(dllexport) void PluginMain(short selector, void* parameters, intptr_t* data, short* result) {
  (void)selector;
  (void)parameters;
  (void)data;
  if (result) *result = DEMO_DOES_NOTHING;
}

/* The library's entry point: nothing to set up or tear down. */
BOOL WINAPI DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}
