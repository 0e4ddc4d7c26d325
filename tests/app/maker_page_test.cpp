// The maker's page is handed to the desktop's shell, to run unelevated; where there is
// no desktop shell to ask (Wine has neither elevation nor that shell object), the
// installer opens it itself, as before.
#include "maker_page.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "exit_codes.h"

namespace {

std::string opened_here;
void record(const char* address) { opened_here = address; }

// The page is opened exactly once: by the desktop's shell when one answers, else from
// here. Whether Wine's desktop process answers for the shell windows depends on how
// far it has started when the test runs, so either route may be taken.
TEST(MakerPage, WithoutADesktopShellToAskThePageIsOpenedFromHere) {
  opened_here.clear();
  PageRoute route = open_maker_page("http://www.veltrane.example/install.htm", record);
  ASSERT_TRUE(route == PAGE_FROM_HERE || route == PAGE_BY_DESKTOP_SHELL) << route;
  EXPECT_EQ(opened_here, route == PAGE_FROM_HERE ? "http://www.veltrane.example/install.htm" : "");
}

// The trap of a pure virtual call ends the program with a code no run ends with.
TEST(Runtime, APureVirtualCallEndsWithTheInternalErrorCode) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string program = path;
  program = program.substr(0, program.rfind('\\') + 1) + "pure_virtual_probe.exe";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(code, static_cast<DWORD>(EXIT_INTERNAL_ERROR));
}

}  // namespace
