// What the payload tests share: the test program's own carried payloads written
// into a fresh folder, and the failure record as one comparable text.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "carried_plugins.h"
#include "plugin_writer.h"
#include "temp_tree.h"

// What these tests hand to the install engine, as the program hands it its own:
// the module that carries the plug-ins (this test program, or the fixture), the
// chosen folder and the skip keys; and the record the runs fill.
extern HMODULE instance_handle;
extern char chosen_folder[PATH_CAPACITY];
extern SkipList skip_list;
extern PayloadFailures payload_failures;
extern CarriedStream run_stream;  // the stream of the last write_one_payload or enumerate_and_write

// The engine's calls on that state.
void begin_install_attempt();
void add_skip_key(const char* key);
int install_payloads(Architecture set = ARCH_UNKNOWN);
int retry_failed_payloads();
int payload_failure_total();
// One write_payload call of a run on that state.
BOOL write_one_payload(HMODULE module, LPCSTR type, LPSTR name);
// EnumResourceNamesA over `module`'s set `type` with write_payload, on that state.
BOOL enumerate_and_write(HMODULE module, WORD type);

// The file's bytes of the payload `name` of `module` in the set `type`, unpacked from
// its carried form; empty when it carries none or it does not unpack.
std::string carried_bytes(HMODULE module, const char* name, WORD type = PAYLOAD_TYPE);

// The folder of the running test program, ending in "\".
std::string program_folder();

// payload_fixture.exe (beside the test program), loaded as a data file.
HMODULE load_payload_fixture();

// The failure record: "file name=error" per entry, joined by "|", then "|stopped"
// when the run ended early and "|+N" for N dropped failures.
std::string failure_summary();

// Names in the folder that look like the installer's temporary files.
std::string temp_files_in(const std::string& folder);

// Each test writes the test program's payloads into a folder tree of its own, with
// an empty skip list and a cleared failure record.
class PayloadTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Makes `relative` (below the tree) the chosen folder; returns its path.
  std::string choose_folder(const std::string& relative);
  // The bytes of a file in the chosen folder.
  std::string installed(const std::string& file_name) const;

  TempTree tree;
  std::string folder;  // the chosen folder, without the trailing "\"
};
