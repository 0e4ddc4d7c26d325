#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "canary.h"
#include "message_text.h"
#include "payload_test_support.h"

namespace {

// What the test program carries, as installed: its own resource script's two named
// payloads, the demo, and the five files carried by veltrane_add_plugin.
const char ALL_PLUG_INS[] =
    "Alpha.8bf|CAPS.8BF|My Filter.8bf|Rock'n Roll.8bf|TessoraOndelDemo.8bf|Two  Spaces.8bf|"
    "V2.0 (beta)+Extra.8bf|lower start_x-Y z.8bf";
const char* const CARRIED_BY_NAME[] = {"Rock'n Roll.8bf", "lower start_x-Y z.8bf", "V2.0 (beta)+Extra.8bf", "CAPS.8BF",
                                       "Two  Spaces.8bf"};
constexpr size_t DEMO_DATA_SIZE = 212992;          // the generator's bytes, inside each demo build
constexpr unsigned DEMO_FINGERPRINT = 0xaa375149u;  // their FNV-1a
constexpr char DEMO_DATA_START[] = "Veltrane demo plug-in \"TessoraOndelDemo.8bf\"";

HMODULE self() { return GetModuleHandleA(nullptr); }

class PayloadWrite : public PayloadTest {};

TEST_F(PayloadWrite, InstallsEveryNamedPayloadByteForByteUnderItsFileName) {
  EXPECT_EQ(install_payloads(), 0);
  EXPECT_EQ(failure_summary(), "");
  EXPECT_EQ(list_folder(folder), ALL_PLUG_INS);
  EXPECT_EQ(installed("Alpha.8bf"), carried_bytes(self(), "ALPHA.8BF"));
  EXPECT_EQ(installed("My Filter.8bf"), carried_bytes(self(), "MY_FILTER.8BF"));
  std::string demo = installed("TessoraOndelDemo.8bf");
  EXPECT_GT(demo.size(), DEMO_DATA_SIZE);
  EXPECT_EQ(demo, carried_bytes(self(), "TESSORA__ONDEL__DEMO.8BF"));
  for (const char* name : CARRIED_BY_NAME) {
    SCOPED_TRACE(name);
    EXPECT_EQ(installed(name), std::string("carried as ") + name + "\n");
  }
}

// The engine acts on what it is handed, nothing else: two runs with their own
// folders, sets and skip keys, and no program state set at all.
TEST(InstallEngine, WritesIntoTheFolderItIsGivenWithTheSkipKeysItIsGiven) {
  TempTree tree;
  std::string first = tree.make_folder("First") + "\\", second = tree.make_folder("Second") + "\\";
  static SkipList none, demo_off;
  clear_skip_list(none);
  clear_skip_list(demo_off);
  add_skip_key(demo_off, "Ondel");
  static PayloadFailures failures;
  InstallLog log = {};
  const InstallTarget x86 = {self(), first.c_str(), ARCH_X86, &demo_off, &log};
  const InstallTarget x64 = {self(), second.c_str(), ARCH_X64, &none, nullptr};
  EXPECT_EQ(install_payloads(x86, failures), 0);
  EXPECT_EQ(install_payloads(x64, failures), 0);
  EXPECT_EQ(list_folder(tree.path("First")), "Alpha.8bf|CAPS.8BF|My Filter.8bf|Rock'n Roll.8bf|Two  Spaces.8bf|"
                                             "V2.0 (beta)+Extra.8bf|lower start_x-Y z.8bf");
  EXPECT_EQ(list_folder(tree.path("Second")), "Alpha.8bf");  // the x64 set of this program
  EXPECT_EQ(read_file(second + "Alpha.8bf"), carried_bytes(self(), "ALPHA.8BF", PAYLOAD_TYPE_X64));
}

// A folder gets its host's own build when carried; a bridged host's folder else the
// x86 build; this program carries x86 and x64 builds, no ARM64 one.
TEST(PluginSet, TheHostsOwnBuildElseForABridgedHostTheX86One) {
  struct Row {
    HostArchitecture host;
    int served;
    Architecture set;
  } rows[] = {
      {{ARCH_X86, EVIDENCE_HOST_PROGRAM, 0}, 1, ARCH_X86},  {{ARCH_UNKNOWN, EVIDENCE_NONE, 0}, 1, ARCH_X86},
      {{ARCH_X64, EVIDENCE_HOST_PROGRAM, 0}, 1, ARCH_X64},  {{ARCH_ARM64, EVIDENCE_HOST_PROGRAM, 0}, 0, ARCH_X86},
      {{ARCH_ARM64, EVIDENCE_HOST_PROGRAM, 1}, 1, ARCH_X86}, {{ARCH_X64, EVIDENCE_HOST_PROGRAM, 1}, 1, ARCH_X64},
      {{ARCH_UNKNOWN, EVIDENCE_NONE, 1}, 1, ARCH_X86},      {{ARCH_64BIT, EVIDENCE_HOST_KIND, 0}, 0, ARCH_X86},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.host.architecture) + (row.host.bridged ? " bridged" : ""));
    Architecture set = ARCH_UNKNOWN;
    EXPECT_EQ(plugin_set_for(self(), row.host, &set), row.served);
    if (row.served) {
      EXPECT_EQ(set, row.set);
    }
  }
}

TEST_F(PayloadWrite, PassesOverANumericIdAndGoesOn) {
  EXPECT_TRUE(write_one_payload(self(), MAKEINTRESOURCEA(PAYLOAD_TYPE), MAKEINTRESOURCEA(42)));
  EXPECT_EQ(list_folder(folder), "");
  EXPECT_EQ(failure_summary(), "");
  // Numeric ids come last; the enumeration succeeds only if that one let it go on too.
  EXPECT_TRUE(enumerate_and_write(self(), PAYLOAD_TYPE));
  EXPECT_EQ(list_folder(folder), ALL_PLUG_INS);
}

TEST_F(PayloadWrite, SkipsThePayloadsWhoseNormalisedNameHoldsAKey) {
  struct Row {
    const char* key;
    const char* written;
  } rows[] = {
      {"Ondel", "Alpha.8bf|CAPS.8BF|My Filter.8bf|Rock'n Roll.8bf|Two  Spaces.8bf|V2.0 (beta)+Extra.8bf|"
                "lower start_x-Y z.8bf"},
      {"ondel", ALL_PLUG_INS},  // the test is case-sensitive
      {"ONDEL", ALL_PLUG_INS},  // the resource's own spelling is not what is tested
      {"Demo", "Alpha.8bf|CAPS.8BF|My Filter.8bf|Rock'n Roll.8bf|Two  Spaces.8bf|V2.0 (beta)+Extra.8bf|"
               "lower start_x-Y z.8bf"},
      {" ", "Alpha.8bf|CAPS.8BF|TessoraOndelDemo.8bf"},  // the space an underscore became
      {"8bf", "CAPS.8BF"},                                 // anywhere in the name
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    choose_folder("row" + std::to_string(n++));
    begin_install_attempt();
    add_skip_key(row.key);
    EXPECT_EQ(install_payloads(), 0);
    EXPECT_EQ(list_folder(folder), row.written);
  }
}

TEST_F(PayloadWrite, AKeyThatFindsTheSkipListFullIsDroppedSoItsPayloadIsWritten) {
  for (int i = 0; i < SKIP_CAPACITY; ++i) add_skip_key(("Unused" + std::to_string(i)).c_str());
  add_skip_key("Ondel");
  EXPECT_EQ(install_payloads(), 0);
  EXPECT_EQ(list_folder(folder), ALL_PLUG_INS);
}

TEST_F(PayloadWrite, ASelectorSwitchedOffForOneAttemptAndOnForTheNextIsWritten) {
  add_skip_key("Ondel");
  install_payloads();
  EXPECT_FALSE(file_exists(folder + "\\TessoraOndelDemo.8bf"));
  begin_install_attempt();
  install_payloads();
  EXPECT_EQ(installed("TessoraOndelDemo.8bf"), carried_bytes(self(), "TESSORA__ONDEL__DEMO.8BF"));
}

TEST_F(PayloadWrite, ReplacesAnExistingPlugInWholly) {
  tree.write_file("Plug-ins\\Alpha.8bf", std::string(4096, 'o'));  // longer than the new one
  EXPECT_EQ(install_payloads(), 0);
  EXPECT_EQ(installed("Alpha.8bf"), carried_bytes(self(), "ALPHA.8BF"));
  EXPECT_EQ(list_folder(folder), ALL_PLUG_INS);
}

TEST_F(PayloadWrite, LeavesAReadOnlyPlugInAsItWasAndWritesTheNextOne) {
  std::string old_path = tree.write_file("Plug-ins\\My Filter.8bf", "old read-only plug-in");
  SetFileAttributesA(old_path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(install_payloads(), 1);
  EXPECT_EQ(installed("My Filter.8bf"), "old read-only plug-in");
  EXPECT_EQ(failure_summary(), "My Filter.8bf=5");
  EXPECT_STREQ(payload_failures.entries[0].resource_name, "MY_FILTER.8BF");
  EXPECT_EQ(classify_failure(payload_failures.entries[0].error), FAILURE_ACCESS_DENIED);
  EXPECT_EQ(list_folder(folder), ALL_PLUG_INS);  // the later ones written, no temporary file
  EXPECT_EQ(installed("Rock'n Roll.8bf"), "carried as Rock'n Roll.8bf\n");

  // The next attempt starts with a cleared record.
  SetFileAttributesA(old_path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(install_payloads(), 0);
  EXPECT_EQ(failure_summary(), "");
  EXPECT_EQ(installed("My Filter.8bf"), carried_bytes(self(), "MY_FILTER.8BF"));
}

TEST_F(PayloadWrite, LeavesAFolderOfAPlugInsNameAlone) {
  tree.write_file("Plug-ins\\Alpha.8bf\\inside.txt", "kept");
  EXPECT_EQ(install_payloads(), 1);
  EXPECT_EQ(failure_summary(), "Alpha.8bf=5");
  EXPECT_EQ(read_file(folder + "\\Alpha.8bf\\inside.txt"), "kept");
  EXPECT_EQ(temp_files_in(folder), "");
}

TEST_F(PayloadWrite, APayloadMissingFromTheProgramEndsTheEnumeration) {
  HMODULE fixture = load_payload_fixture();
  ASSERT_NE(fixture, nullptr);
  // The fixture lists ALPHA, BRAVO_LONG..., EMPTY, MY_FILTER; this program has no BRAVO.
  EXPECT_FALSE(enumerate_and_write(fixture, PAYLOAD_TYPE));
  EXPECT_EQ(list_folder(folder), "Alpha.8bf");
  ASSERT_EQ(payload_failures.count, 1);
  EXPECT_EQ(std::string(payload_failures.entries[0].resource_name).substr(0, 16), "BRAVO_LONG_NAME_");
  EXPECT_EQ(payload_failures.entries[0].error, static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(payload_failures.stopped, 1);
  FreeLibrary(fixture);
}

TEST_F(PayloadWrite, AnEmptyPayloadEndsTheRunAndAPathOverTheLimitIsPassedOver) {
  HMODULE fixture = load_payload_fixture();
  ASSERT_NE(fixture, nullptr);
  instance_handle = fixture;
  EXPECT_EQ(install_payloads(), 2);
  EXPECT_EQ(list_folder(folder), "Alpha.8bf");  // MY_FILTER comes after the empty one
  ASSERT_EQ(payload_failures.count, 2);
  const PayloadFailure& too_long = payload_failures.entries[0];
  // A 499-character name fills its 500-byte field; no folder fits in front of it.
  EXPECT_EQ(strlen(too_long.resource_name), static_cast<size_t>(LONG_NAME_LENGTH));
  EXPECT_EQ(std::string(too_long.file_name).substr(0, 16), "Bravo Long Name ");
  EXPECT_EQ(strlen(too_long.file_name), static_cast<size_t>(LONG_NAME_LENGTH));
  EXPECT_EQ(too_long.error, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_STREQ(payload_failures.entries[1].file_name, "Empty.8bf");
  EXPECT_EQ(payload_failures.entries[1].error, static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(payload_failures.stopped, 1);
  instance_handle = self();
  FreeLibrary(fixture);
}

TEST_F(PayloadWrite, RecordsTwentyFailuresByNameAndCountsTheRest) {
  for (int i = 0; i < FAILURE_CAPACITY + 1; ++i) {
    std::string name = "MISSING_" + std::to_string(i) + ".8BF";
    std::vector<char> writable(name.begin(), name.end() + 1);
    EXPECT_FALSE(write_one_payload(self(), MAKEINTRESOURCEA(PAYLOAD_TYPE), writable.data()));
  }
  EXPECT_EQ(payload_failures.count, FAILURE_CAPACITY);
  EXPECT_EQ(payload_failures.dropped, 1);
  EXPECT_EQ(payload_failure_total(), FAILURE_CAPACITY + 1);
  EXPECT_STREQ(payload_failures.entries[FAILURE_CAPACITY - 1].file_name, "Missing 19.8bf");
  EXPECT_STREQ(payload_failures.entries[FAILURE_CAPACITY - 1].resource_name, "MISSING_19.8BF");
}

TEST(ClassifyFailure, TellsApartWhatTheUserCanDoAboutIt) {
  struct Row {
    DWORD error;
    FailureKind kind;
  } rows[] = {
      {ERROR_DISK_FULL, FAILURE_DISK_FULL},           {ERROR_HANDLE_DISK_FULL, FAILURE_DISK_FULL},
      {ERROR_SHARING_VIOLATION, FAILURE_IN_USE},      {ERROR_LOCK_VIOLATION, FAILURE_IN_USE},
      {ERROR_USER_MAPPED_FILE, FAILURE_IN_USE},       {ERROR_ACCESS_DENIED, FAILURE_ACCESS_DENIED},
      {ERROR_WRITE_PROTECT, FAILURE_ACCESS_DENIED},   {ERROR_PATH_NOT_FOUND, FAILURE_OTHER},
      {ERROR_FILENAME_EXCED_RANGE, FAILURE_OTHER},    {ERROR_INVALID_DATA, FAILURE_OTHER},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.error);
    EXPECT_EQ(classify_failure(row.error), row.kind);
  }
}

TEST(FailureSystemText, GivesTheSystemsTextWithoutItsLineBreak) {
  char text[200 + 1];
  fill_canary(text);
  EXPECT_EQ(failure_system_text(ERROR_PATH_NOT_FOUND, text, sizeof text - 1), 1);
  std::string said = text;
  ASSERT_FALSE(said.empty());
  EXPECT_NE(said.back(), '\n');
  EXPECT_NE(said.back(), '\r');
  EXPECT_TRUE(is_canary(text[200]));
}

TEST(FailureSystemText, FallsBackToTheNumberWithinItsBuffer) {
  char text[40];
  EXPECT_EQ(failure_system_text(0x20004321, text, sizeof text), 0);
  EXPECT_STREQ(text, "Error 536888097");
  char small[8 + 1];
  fill_canary(small);
  failure_system_text(ERROR_PATH_NOT_FOUND, small, 8);  // too small for the system's text
  EXPECT_STREQ(small, "Error 3");
  EXPECT_TRUE(is_canary(small[8]));
}

// 32-bit FNV-1a: a fixed fingerprint of the demo's bytes on every build.
unsigned fingerprint(const std::string& bytes) {
  unsigned hash = 2166136261u;
  for (unsigned char c : bytes) hash = (hash ^ c) * 16777619u;
  return hash;
}

// The Machine field of a PE image held in `bytes`; 0 when it is none.
unsigned image_machine(const std::string& bytes) {
  if (bytes.size() < 64 || bytes.compare(0, 2, "MZ") != 0) return 0;
  uint32_t header = 0;
  std::memcpy(&header, bytes.data() + 60, sizeof header);
  if (header + 6ull > bytes.size() || bytes.compare(header, 4, std::string("PE\0\0", 4)) != 0) return 0;
  uint16_t machine = 0;
  std::memcpy(&machine, bytes.data() + header + 4, sizeof machine);
  return machine;
}

TEST(InstallerPayload, TheInstallerCarriesTheDemoInBothBuildsWithItsFixedBytes) {
#ifdef VELTRANE_NO_DEMO
  GTEST_SKIP() << "configured with VELTRANE_CARRY_DEMO=OFF: the installer carries no demo";
#endif
  HMODULE installer = LoadLibraryExA((program_folder() + "..\\..\\VeltraneSetup.exe").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(installer, nullptr);
  struct Build {
    WORD type;
    unsigned machine;
  };
  for (const Build& build : {Build{PAYLOAD_TYPE_X86, 0x014Cu}, Build{PAYLOAD_TYPE_X64, 0x8664u}}) {
    SCOPED_TRACE(build.type);
    std::string demo = carried_bytes(installer, "TESSORA__ONDEL__DEMO.8BF", build.type);
    EXPECT_EQ(image_machine(demo), build.machine);
    size_t data = demo.find(DEMO_DATA_START);
    ASSERT_NE(data, std::string::npos);
    EXPECT_EQ(fingerprint(demo.substr(data, DEMO_DATA_SIZE)), DEMO_FINGERPRINT);
  }
  EXPECT_EQ(carried_bytes(installer, "TESSORA__ONDEL__DEMO.8BF"), carried_bytes(self(), "TESSORA__ONDEL__DEMO.8BF"));
  EXPECT_EQ(carried_bytes(installer, "TESSORA__ONDEL__DEMO.8BF", PAYLOAD_TYPE_ARM64), "");
  FreeLibrary(installer);
}

}  // namespace
