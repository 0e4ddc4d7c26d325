#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "canary.h"
#include "handles.h"
#include "payload_test_support.h"
#include "replace_file.h"

namespace {

HMODULE self() { return GetModuleHandleA(nullptr); }

std::string temp_name(DWORD process_id, unsigned serial) {
  char name[64];
  EXPECT_EQ(make_temp_file_name(name, sizeof name, process_id, serial), 1);
  return name;
}

TEST(TempFileName, NamesTheProcessAndNeverEndsIn8bf) {
  std::string first = temp_name(0x4242, 1);
  EXPECT_EQ(first, "~VeltraneSetup-partial-00004242-00000001.tmp");
  EXPECT_NE(temp_name(0x4242, 2), first);
  EXPECT_NE(temp_name(0x4243, 1), first);
  EXPECT_EQ(is_temp_file_name(first.c_str()), 1);
  EXPECT_NE(first.substr(first.size() - 4), ".8bf");
}

TEST(TempFileName, RefusesABufferTooSmallAndStaysInIt) {
  char name[44 + 1];  // the name needs 45 bytes
  fill_canary(name);
  EXPECT_EQ(make_temp_file_name(name, 44, 0x4242, 1), 0);
  EXPECT_EQ(strlen(name), 43u);
  EXPECT_TRUE(is_canary(name[44]));
}

// A user's file never has this form by chance: only exactly it is the installer's.
TEST(TempFileName, KnowsOnlyItsOwnForm) {
  struct Row {
    const char* name;
    int expected;
  } rows[] = {
      {"~VeltraneSetup-partial-0000ABCD-000000FF.tmp", 1},
      {"~VeltraneSetup-partial-0000abcd-000000FF.tmp", 0},  // lower-case digits
      {"~VeltraneSetup-partial-0000ABCD-000000F.tmp", 0},   {"~VeltraneSetup-partial-0000ABCD000000FF0.tmp", 0},
      {"~VeltraneSetup-partial-0000ABCD-000000FF.tmp.8bf", 0}, {"~veltranesetup-partial-0000ABCD-000000FF.tmp", 0},
      {"~VeltraneSetup-partial-0000ABCD-000000FG.tmp", 0},  {"~VeltraneSetup-partial-0000ABCD-000000FF.TMP", 0},
      {"~Veltrane-2024-01.tmp", 0},  // a user's file, and the old form alike: left alone
      {"~Veltrane-12-3.tmp", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(is_temp_file_name(row.name), row.expected);
  }
}

class PayloadReplace : public PayloadTest {};

TEST_F(PayloadReplace, RemovesWhatAKilledRunLeftAndNothingThatMerelyLooksAlike) {
  // A run killed between writing and moving leaves its temporary file behind.
  tree.write_file("Plug-ins\\" + temp_name(4242, 7), std::string(1000, 'p'));
  tree.write_file("Plug-ins\\" + temp_name(GetCurrentProcessId(), 1), "an earlier run of this id");
  tree.write_file("Plug-ins\\~Veltrane-notes.tmp", "kept");
  tree.write_file("Plug-ins\\~Veltrane-2024-01.tmp", "a user's file");
  tree.write_file("Plug-ins\\" + temp_name(1, 2) + ".bak", "kept");
  tree.write_file("Plug-ins\\Other.tmp", "kept");
  EXPECT_EQ(install_payloads(), 0);
  EXPECT_EQ(list_folder(folder),
            "Alpha.8bf|CAPS.8BF|My Filter.8bf|Other.tmp|Rock'n Roll.8bf|TessoraOndelDemo.8bf|Two  Spaces.8bf|"
            "V2.0 (beta)+Extra.8bf|lower start_x-Y z.8bf|~Veltrane-2024-01.tmp|~Veltrane-notes.tmp|" +
                temp_name(1, 2) + ".bak");
}

// Runs file_holder.exe on a file and lets it go on request, as a host editor that
// has a plug-in loaded and is then closed.
class FileHolder {
public:
  explicit FileHolder(const std::string& path) {
    static int serial = 0;
    std::string base = "VeltraneHolder" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
    ready_.reset(CreateEventA(nullptr, TRUE, FALSE, (base + "ready").c_str()));
    release_.reset(CreateEventA(nullptr, TRUE, FALSE, (base + "release").c_str()));
    std::string command = "\"" + program_folder() + "file_holder.exe\" \"" + path + "\" " + base + "ready " + base +
                          "release";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
      CloseHandle(started.hThread);
      process_.reset(started.hProcess);
    }
  }
  ~FileHolder() { let_go(); }
  // True once the file is held; false if the helper ended (or hung) before that.
  bool holding() {
    if (!process_.valid()) return false;
    HANDLE either[] = {ready_.get(), process_.get()};
    return WaitForMultipleObjects(2, either, FALSE, 10000) == WAIT_OBJECT_0;
  }
  // Lets go and waits until the helper has closed the file and ended.
  bool let_go() {
    if (!process_.valid()) return true;
    SetEvent(release_.get());
    bool ended = WaitForSingleObject(process_.get(), 10000) == WAIT_OBJECT_0;
    process_.reset();
    return ended;
  }

private:
  KernelHandle ready_, release_, process_;
};

TEST_F(PayloadReplace, APlugInHeldOpenStaysIntactAndRetryWritesItOnceLetGo) {
  std::string held = tree.write_file("Plug-ins\\TessoraOndelDemo.8bf", "the plug-in a running host has loaded");
  FileHolder holder(held);
  ASSERT_TRUE(holder.holding());

  EXPECT_EQ(install_payloads(), 1);
  EXPECT_EQ(failure_summary(), "TessoraOndelDemo.8bf=32");
  EXPECT_EQ(classify_failure(payload_failures.entries[0].error), FAILURE_IN_USE);
  EXPECT_EQ(read_file(held), "the plug-in a running host has loaded");
  EXPECT_EQ(temp_files_in(folder), "");
  EXPECT_EQ(installed("Alpha.8bf"), carried_bytes(self(), "ALPHA.8BF"));

  ASSERT_TRUE(holder.let_go());
  EXPECT_EQ(retry_failed_payloads(), 0);
  EXPECT_EQ(failure_summary(), "");
  EXPECT_EQ(read_file(held), carried_bytes(self(), "TESSORA__ONDEL__DEMO.8BF"));
  EXPECT_EQ(temp_files_in(folder), "");
}

TEST_F(PayloadReplace, ReadOnlyIsToldApartFromInUse) {
  std::string both = tree.write_file("Plug-ins\\Alpha.8bf", "read-only and held");
  std::string held = tree.write_file("Plug-ins\\My Filter.8bf", "held only");
  SetFileAttributesA(both.c_str(), FILE_ATTRIBUTE_READONLY);
  FileHolder holder_of_both(both), holder(held);
  ASSERT_TRUE(holder_of_both.holding());
  ASSERT_TRUE(holder.holding());
  EXPECT_EQ(install_payloads(), 2);
  // Read-only is what the user must change first; in use is what closing the host ends.
  EXPECT_EQ(failure_summary(), "Alpha.8bf=5|My Filter.8bf=32");
  EXPECT_EQ(read_file(both), "read-only and held");
  EXPECT_EQ(read_file(held), "held only");
  EXPECT_EQ(temp_files_in(folder), "");
}

TEST_F(PayloadReplace, RetryWritesOnlyTheFilesThatFailed) {
  std::string read_only = tree.write_file("Plug-ins\\My Filter.8bf", "old");
  SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(install_payloads(), 1);
  tree.write_file("Plug-ins\\Alpha.8bf", "changed since");  // written by the first run
  SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_NORMAL);

  EXPECT_EQ(retry_failed_payloads(), 0);
  EXPECT_EQ(installed("My Filter.8bf"), carried_bytes(self(), "MY_FILTER.8BF"));
  EXPECT_EQ(installed("Alpha.8bf"), "changed since");
  // A retry with nothing left to write writes nothing.
  EXPECT_EQ(retry_failed_payloads(), 0);
  EXPECT_EQ(installed("Alpha.8bf"), "changed since");
}

TEST_F(PayloadReplace, RetryAfterARunThatStoppedWritesEverythingAgain) {
  HMODULE fixture = load_payload_fixture();
  ASSERT_NE(fixture, nullptr);
  instance_handle = fixture;
  EXPECT_EQ(install_payloads(), 2);
  tree.write_file("Plug-ins\\Alpha.8bf", "changed since");
  EXPECT_EQ(retry_failed_payloads(), 2);
  EXPECT_EQ(installed("Alpha.8bf"), carried_bytes(fixture, "ALPHA.8BF"));
  EXPECT_EQ(payload_failures.stopped, 1);
  instance_handle = self();
  FreeLibrary(fixture);
}

TEST_F(PayloadReplace, AFolderThatIsNotThereFailsEveryPayloadWithTheSystemsReason) {
  lstrcpynA(chosen_folder, (tree.path("Missing") + "\\").c_str(), PATH_CAPACITY);
  EXPECT_EQ(install_payloads(), 8);
  ASSERT_EQ(payload_failures.count, 8);
  for (int i = 0; i < payload_failures.count; ++i) {
    SCOPED_TRACE(payload_failures.entries[i].file_name);
    EXPECT_EQ(payload_failures.entries[i].error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(classify_failure(payload_failures.entries[i].error), FAILURE_OTHER);
  }
  EXPECT_FALSE(folder_exists(tree.path("Missing")));
}

}  // namespace
