#include "host_architecture.h"

#include "discovery_fixture.h"
#include "pe_stub.h"
#include "versioned_hosts.h"

namespace {

class HostArchitectureTest : public DiscoveryTest {};

TEST_F(HostArchitectureTest, ReadsTheMachineAndSurvivesBrokenHeaders) {
  std::string truncated = pe_stub(MACHINE_AMD64);
  truncated.resize(67);  // ends inside the PE signature
  std::string wrong_signature = pe_stub(MACHINE_AMD64);
  wrong_signature[64] = 'N';
  struct Row {
    const char* name;
    std::string bytes;
    ImageKind kind;
  } rows[] = {
      {"x86.8bf", pe_stub(MACHINE_I386), IMAGE_X86},
      {"x64.8bf", pe_stub(MACHINE_AMD64), IMAGE_X64},
      {"arm64.8bf", pe_stub(MACHINE_ARM64), IMAGE_ARM64},
      {"armnt.8bf", pe_stub(MACHINE_ARMNT), IMAGE_OTHER},
      {"far-header.8bf", pe_stub(MACHINE_AMD64, 4096), IMAGE_X64},
      {"text.8bf", "an old plug-in, not an image", IMAGE_NONE},
      {"empty.8bf", "", IMAGE_NONE},
      {"mz-only.8bf", "MZ", IMAGE_NONE},
      {"truncated.8bf", truncated, IMAGE_NONE},
      {"wrong-signature.8bf", wrong_signature, IMAGE_NONE},
      {"header-past-end.8bf", pe_stub(MACHINE_AMD64).substr(0, 64), IMAGE_NONE},
      {"header-inside-dos.8bf", pe_stub(MACHINE_AMD64, 8), IMAGE_NONE},
      {"header-at-4gb.8bf", std::string("MZ") + std::string(58, '\0') + "\xff\xff\xff\xff", IMAGE_NONE},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(read_image_kind(tree.write_file(row.name, row.bytes).c_str()), row.kind);
  }
  EXPECT_EQ(read_image_kind(tree.path("missing.8bf").c_str()), IMAGE_NONE);
  EXPECT_EQ(read_image_kind(tree.root().c_str()), IMAGE_NONE);  // a folder
}

TEST_F(HostArchitectureTest, TheHostProgramIsTheStartOfItsCommand) {
  struct Row {
    const char* command;
    const char* program;  // null: none
  } rows[] = {
      {"\"C:\\Program Files\\Host\\Host.exe\" \"%1\"", "C:\\Program Files\\Host\\Host.exe"},
      {"C:\\Program Files\\Host\\HOST.EXE %1", "C:\\Program Files\\Host\\HOST.EXE"},
      {"C:\\Probes\\Painter6\\Painter6.exe", "C:\\Probes\\Painter6\\Painter6.exe"},
      {"  \"C:\\H\\h.exe\"", "C:\\H\\h.exe"},
      {"host.exe %1", nullptr},           // no drive: nothing to read
      {"C:\\Host\\host.com %1", nullptr},  // no .exe
      {"\"\"", nullptr},
      {"", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    char program[PATH_CAPACITY] = "sentinel";
    EXPECT_EQ(host_program_from_command(row.command, program), row.program ? 1 : 0);
    if (row.program) {
      EXPECT_STREQ(program, row.program);
    }
  }
}

TEST_F(HostArchitectureTest, TheFolderFilesDecideOnlyWhenTheImagesAmongThemAgree) {
  struct Row {
    const char* folder;
    std::vector<std::pair<std::string, std::string>> files;
    HostArchitecture expected;
  } rows[] = {
      {"Agree", {{"a.8bf", pe_stub(MACHINE_AMD64)}, {"b.8BF", pe_stub(MACHINE_AMD64)}, {"notes.8bf", "text"}},
       {ARCH_X64, EVIDENCE_FOLDER_FILES, 0}},
      {"Disagree", {{"a.8bf", pe_stub(MACHINE_AMD64)}, {"b.8bf", pe_stub(MACHINE_I386)}}, {ARCH_UNKNOWN, EVIDENCE_NONE, 0}},
      {"Foreign", {{"a.8bf", pe_stub(MACHINE_ARM64)}, {"b.8bf", pe_stub(MACHINE_ARMNT)}}, {ARCH_UNKNOWN, EVIDENCE_NONE, 0}},
      {"NoImages", {{"a.8bf", "text"}, {"b.dll", pe_stub(MACHINE_AMD64)}}, {ARCH_UNKNOWN, EVIDENCE_NONE, 0}},
      {"OnlyBelow", {{"Sub\\a.8bf", pe_stub(MACHINE_AMD64)}}, {ARCH_UNKNOWN, EVIDENCE_NONE, 0}},
      {"LongerExtension", {{"a.8bfx", pe_stub(MACHINE_AMD64)}}, {ARCH_UNKNOWN, EVIDENCE_NONE, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.folder);
    tree.make_folder(row.folder);
    for (const auto& file : row.files) tree.write_file(std::string(row.folder) + "\\" + file.first, file.second);
    HostArchitecture found = folder_files_evidence(tree.path(row.folder).c_str());
    EXPECT_EQ(found.architecture, row.expected.architecture);
    EXPECT_EQ(found.evidence, row.expected.evidence);
  }
}

TEST_F(HostArchitectureTest, AFolderFoundAgainKeepsItsPlaceAndTakesOnlyStrongerEvidence) {
  std::string first = tree.make_folder("First"), plugins = tree.make_folder("Host\\Plug-ins");
  tree.write_file("Host\\Plug-ins\\old.8bf", pe_stub(MACHINE_I386));
  std::string host64 = tree.write_file("Host\\Host.exe", pe_stub(MACHINE_AMD64));
  std::string arm = tree.write_file("Arm\\Arm.exe", pe_stub(MACHINE_ARM64));
  char path[PATH_CAPACITY];
  int row = 0;
  auto admit = [&](const std::string& folder, const std::string& program) {
    lstrcpynA(path, folder.c_str(), PATH_CAPACITY);
    ProbeFindings findings = with_host_program(NO_FINDINGS, program.c_str());
    findings.row = ++row;
    admit_candidate(path, findings);
  };
  admit(first, "");
  admit(plugins, "");                         // the files: x86
  EXPECT_EQ(candidate_list.entries[1].host.evidence, EVIDENCE_FOLDER_FILES);
  admit(plugins, host64);                     // the program beats the files
  admit(plugins, "");                         // the files again change nothing
  admit(plugins, tree.path("Host\\none.exe"));  // a program that is not there says nothing
  admit(plugins, arm);                        // equal evidence: the first stays
  EXPECT_EQ(listed(), (std::vector<std::string>{stored("First"), stored("Host\\Plug-ins")}));
  EXPECT_EQ(candidate_list.entries[0].host.evidence, EVIDENCE_NONE);
  EXPECT_EQ(candidate_list.entries[1].host.architecture, ARCH_X64);
  EXPECT_EQ(candidate_list.entries[1].host.evidence, EVIDENCE_HOST_PROGRAM);
  EXPECT_EQ(candidate_list.entries[1].row, 2);  // the row that found it first
}

TEST_F(HostArchitectureTest, AChosenFolderTakesTheInnermostListedFolderElseItsOwnFiles) {
  tree.write_file("Outer\\Host.exe", pe_stub(MACHINE_AMD64));
  tree.write_file("Outer\\Inner\\Arm.exe", pe_stub(MACHINE_ARM64));
  tree.write_file("Loose\\a.8bf", pe_stub(MACHINE_AMD64));
  char path[PATH_CAPACITY];
  std::string outer_host = tree.path("Outer\\Host.exe"), inner_host = tree.path("Outer\\Inner\\Arm.exe");
  lstrcpynA(path, tree.path("Outer").c_str(), PATH_CAPACITY);
  admit_candidate(path, with_host_program(NO_FINDINGS, outer_host.c_str()));
  lstrcpynA(path, tree.path("Outer\\Inner").c_str(), PATH_CAPACITY);
  admit_candidate(path, with_host_program(NO_FINDINGS, inner_host.c_str()));
  struct Row {
    std::string folder;
    HostArchitecture expected;
  } rows[] = {
      {lower(tree.path("Outer\\Veltrane\\")), {ARCH_X64, EVIDENCE_LISTED_FOLDER, 0}},
      {tree.path("Outer"), {ARCH_X64, EVIDENCE_LISTED_FOLDER, 0}},
      {tree.path("Outer\\Inner\\Veltrane"), {ARCH_ARM64, EVIDENCE_LISTED_FOLDER, 0}},
      {tree.path("Outer2\\Veltrane"), {ARCH_UNKNOWN, EVIDENCE_NONE, 0}},  // a longer name is not inside
      {tree.path("Loose"), {ARCH_X64, EVIDENCE_FOLDER_FILES, 0}},
      {tree.path("Missing"), {ARCH_UNKNOWN, EVIDENCE_NONE, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.folder);
    HostArchitecture found = target_architecture(row.folder.c_str());
    EXPECT_EQ(found.architecture, row.expected.architecture);
    EXPECT_EQ(found.evidence, row.expected.evidence);
  }
}

TEST(VersionRank, ReadsMajorAndMinorOfAVersionKey) {
  struct Row {
    const char* name;
    unsigned rank;
  } rows[] = {{"180.0", 180000}, {"70.1", 70001}, {"120", 120000}, {"1.2.3", 1002}, {"x", 0}, {"99.99999", 99999},
              // Too large to compare: ranked the largest, never wrapped round to a small rank.
              {"4294965.999", 4294965999u}, {"4294966.0", 0xFFFFFFFFu}, {"40000000.5", 0xFFFFFFFFu},
              {"99999999999999999999", 0xFFFFFFFFu}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(version_rank(row.name), row.rank);
  }
}

}  // namespace
