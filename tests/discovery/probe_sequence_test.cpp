#include "probe_sequence.h"

#include <shlobj.h>

#include "discovery_fixture.h"
#include "pe_stub.h"

namespace {

constexpr char APP_PATHS[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

class ProbeSequenceTest : public DiscoveryTest {
protected:
  void TearDown() override {
    if (common_files_set_) SetEnvironmentVariableA("CommonProgramW6432", common_files_.empty() ? nullptr : common_files_.c_str());
    if (!ulead_ini_.empty()) {
      EXPECT_TRUE(DeleteFileA(ulead_ini_.c_str()));
    }
    DiscoveryTest::TearDown();
  }
  void register_host(const char* progid, const std::string& program) {
    seed.sz(HKEY_CLASSES_ROOT, std::string(progid) + "\\shell\\open\\command", "",
            "\"" + tree.path(program) + "\" \"%1\"");
  }
  void write_ulead_ini(const std::string& text) {
    char windows[PATH_CAPACITY];
    ASSERT_GT(GetWindowsDirectoryA(windows, PATH_CAPACITY), 0u);
    ulead_ini_ = std::string(windows) + "\\ulead32.ini";
    HANDLE file = CreateFileA(ulead_ini_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  static std::vector<int> rows() {
    std::vector<int> numbers;
    for (int i = 0; i < CANDIDATE_CAPACITY; ++i) numbers.push_back(candidate_list.entries[i].row);
    return numbers;
  }

  // The 64-bit Common Files folder as the system names it, for this test only.
  void set_common_files(const std::string& folder) {
    char old[PATH_CAPACITY] = "";
    GetEnvironmentVariableA("CommonProgramW6432", old, PATH_CAPACITY);
    if (!common_files_set_) common_files_ = old;
    common_files_set_ = true;
    SetEnvironmentVariableA("CommonProgramW6432", folder.c_str());
  }
  std::vector<std::string> architectures() const {
    std::vector<std::string> names;
    for (int i = 0; i < candidate_count(); ++i)
      names.push_back(architecture_name(candidate_list.entries[i].host.architecture));
    return names;
  }

private:
  std::string ulead_ini_, common_files_;
  bool common_files_set_ = false;
};

TEST_F(ProbeSequenceTest, WithNoHostInstalledTheListStaysEmpty) {
  run_probe_sequence();
  EXPECT_EQ(candidate_count(), 0);
  EXPECT_EQ(rows(), std::vector<int>(CANDIDATE_CAPACITY, 0));
}

TEST_F(ProbeSequenceTest, RowsFillTheListInTableOrder) {
  // Seeded in reverse order of the rows, so that only the table decides the list order.
  tree.make_folder("P6\\Plugins");
  seed.sz(HKEY_LOCAL_MACHINE, std::string(APP_PATHS) + "Painter6.exe", "", tree.path("P6\\Painter6.exe"));
  std::string brushes = tree.make_folder("Painter\\Brushes");
  tree.write_file("Painter\\painter.set",
                  std::string("\x80", 1) + static_cast<char>(brushes.size()) + brushes + std::string(1, '\0'));
  register_host("PainterFile", "Painter\\Painter.exe");
  tree.make_folder("PI3");
  register_host("PI3.Image", "PI3\\pi3.exe");
  write_ulead_ini("[Filters]\nPlugInDir=" + tree.make_folder("Ulead\\Plugins") + "\n");
  tree.write_file("Corel\\Config\\PhotoPaint.ini", "[Dirs]\nDirs1=0," + tree.make_folder("Corel\\Filters") + "\n");
  register_host("CorelPhotoPaint.Image.9", "Corel\\Programs\\photopnt.exe");
  seed.sz(HKEY_USERS, ".default\\software\\iGrafx\\Image\\Settings", "PlugInFolder", tree.make_folder("iGrafx\\Plugins"));
  tree.make_folder("Office\\photodraw\\plugins");
  seed.sz(HKEY_LOCAL_MACHINE, "software\\microsoft\\photodraw\\2000", "InstallDest", tree.path("Office") + "\\");
  // Row 9 finds row 2's folder again: it stays at row 2's position.
  std::string photoshop = tree.make_folder("Adobe\\Plug-Ins");
  tree.write_file("Adobe\\Photoshop.ini", "[Paths]\nPluginDirectory=" + photoshop + "\n");
  register_host("Photoshop.PlugIn", "Adobe\\Photoshp.exe");
  seed.sz(HKEY_CURRENT_USER, "software\\adobe\\photoshop\\7.0", "PluginPath", photoshop);
  seed.sz(HKEY_CURRENT_USER, "software\\veltrane\\Setup", "PluginFolder", tree.make_folder("plug-ins\\veltrane"));

  run_probe_sequence();

  EXPECT_EQ(listed(), (std::vector<std::string>{stored("plug-ins"), stored("Adobe\\Plug-Ins"),
                                                stored("Office\\photodraw\\plugins"), stored("iGrafx\\Plugins"),
                                                stored("Corel\\Filters"), stored("Ulead\\Plugins"), stored("PI3"),
                                                stored("Painter\\Brushes"), stored("P6\\Plugins")}));
  std::vector<int> expected_rows = {1, 2, 5, 8, 16, 18, 19, 20, 21};
  expected_rows.resize(CANDIDATE_CAPACITY, 0);
  EXPECT_EQ(rows(), expected_rows);
  for (int i = 0; i < candidate_count(); ++i)
    EXPECT_EQ(candidate_list.entries[i].append_subfolder, i == 3 ? 0 : 1) << candidate_list.entries[i].path;
}

TEST_F(ProbeSequenceTest, LaterVersionsAndTheBlankFreeProgIdsAreFollowed) {
  register_host("Fireworks.Doc.5", "FW5\\Fireworks.exe");
  tree.write_file("FW5\\Fireworks 5 Preferences.txt", "ExtraPhotoshopPlugins=" + tree.make_folder("FW5 Filters") + "\n");
  register_host("Fireworks.Doc.2", "FW2\\Fireworks.exe");
  tree.write_file("FW2\\Fireworks 2 Preferences.txt", "ExtraPhotoshopPlugins=" + tree.make_folder("FW2 Filters") + "\n");
  for (const char* version : {"7", "8", "10"}) {
    std::string host = std::string("Corel") + version;
    register_host(("CorelPhotoPaint.Image." + std::string(version)).c_str(), host + "\\Programs\\photopnt.exe");
    tree.write_file(host + "\\photopnt.ini", "dirs1=" + tree.make_folder(host + "\\Plugins") + "\n");
  }
  run_probe_sequence();
  EXPECT_EQ(listed(), (std::vector<std::string>{stored("FW2 Filters"), stored("FW5 Filters"), stored("Corel7\\Plugins"),
                                                stored("Corel8\\Plugins"), stored("Corel10\\Plugins")}));
  std::vector<int> expected_rows = {10, 13, 14, 15, 17};
  expected_rows.resize(CANDIDATE_CAPACITY, 0);
  EXPECT_EQ(rows(), expected_rows);
}

// Today's hosts register in the 64-bit view, which the 32-bit installer must read too.
TEST_F(ProbeSequenceTest, TodaysPhotoshopVersionsAndTheirSharedFolderComeFromThe64BitView) {
  RegistrySeed view64(KEY_WOW64_64KEY);
  const std::string versions = "SOFTWARE\\Adobe\\Photoshop\\";
  tree.write_file("PS2024\\Photoshop.exe", pe_stub(MACHINE_AMD64));
  view64.sz(HKEY_LOCAL_MACHINE, versions + "180.0", "ApplicationPath", tree.path("PS2024") + "\\");
  view64.sz(HKEY_LOCAL_MACHINE, versions + "180.0\\PluginPath", "", tree.make_folder("PS2024\\Filters"));
  tree.write_file("PS2023\\Photoshop.exe", pe_stub(MACHINE_ARM64));  // no PluginPath: the program's Plug-ins
  tree.make_folder("PS2023\\Plug-ins");
  view64.sz(HKEY_LOCAL_MACHINE, versions + "170.0", "ApplicationPath", tree.path("PS2023"));
  view64.sz(HKEY_LOCAL_MACHINE, versions + "60.0", "ApplicationPath", tree.path("Removed"));  // uninstalled
  tree.make_folder("Common\\Adobe\\Plug-Ins\\CC");
  set_common_files(tree.path("Common"));

  run_probe_sequence();

  // The 64-bit build walks the same keys with row 2 first, which lists 180.0's own folder.
  bool own_view = sizeof(void*) == 8;
  std::vector<std::string> folders = {stored("PS2023\\Plug-ins"), stored("PS2024\\Filters")};
  std::vector<int> expected_rows = {23, 23, 24};
  std::vector<std::string> expected_architectures = {"arm64", "x64", "x64"};  // the shared one: the newest's
  if (own_view) {
    std::swap(folders[0], folders[1]);
    expected_rows = {2, 23, 24};
    std::swap(expected_architectures[0], expected_architectures[1]);
  }
  folders.push_back(stored("Common\\Adobe\\Plug-Ins\\CC"));
  EXPECT_EQ(listed(), folders);
  expected_rows.resize(CANDIDATE_CAPACITY, 0);
  EXPECT_EQ(rows(), expected_rows);
  EXPECT_EQ(architectures(), expected_architectures);
}

TEST_F(ProbeSequenceTest, TheSharedFolderNeedsAPhotoshopAndItsOwnFolder) {
  RegistrySeed view64(KEY_WOW64_64KEY);
  tree.make_folder("Common\\Adobe\\Plug-Ins\\CC");
  tree.make_folder("Bare\\Adobe\\Plug-Ins");
  set_common_files(tree.path("Common"));
  run_probe_sequence();
  EXPECT_EQ(candidate_count(), 0) << "no Photoshop installed";

  tree.write_file("PS\\Photoshop.exe", pe_stub(MACHINE_AMD64));
  view64.sz(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Photoshop\\180.0", "ApplicationPath", tree.path("PS"));
  set_common_files(tree.path("Bare"));
  reset_candidate_list();
  run_probe_sequence();
  EXPECT_EQ(listed(), std::vector<std::string>{stored("PS")}) << "no CC folder: its parent is not listed instead";
}

// A row that does not take its host from the rows before it starts afresh: without
// Paint.NET installed for all users, the per-user Paint.NET folder (row 28) is not
// given the Photoshop Elements of row 25 as its host program.
TEST_F(ProbeSequenceTest, AHostFoundForOneEditorIsNotLentToTheNext) {
  RegistrySeed view64(KEY_WOW64_64KEY);
  const std::string elements = "SOFTWARE\\Adobe\\Photoshop Elements\\14.0\\";
  tree.write_file("PSE\\PhotoshopElementsEditor.exe", pe_stub(MACHINE_I386));
  view64.sz(HKEY_LOCAL_MACHINE, elements + "ApplicationPath", "", tree.path("PSE") + "\\");
  view64.sz(HKEY_LOCAL_MACHINE, elements + "PluginPath", "", tree.make_folder("PSE\\Plug-ins"));
  char documents[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents), S_OK);
  const std::string app_files = std::string(documents) + "\\paint.net App Files";
  const std::string dll = app_files + "\\Effects\\PSFilterPdn.dll";
  CreateDirectoryA(app_files.c_str(), nullptr);
  CreateDirectoryA((app_files + "\\Effects").c_str(), nullptr);
  HANDLE file = CreateFileA(dll.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  run_probe_sequence();

  DeleteFileA(dll.c_str());
  RemoveDirectoryA((app_files + "\\Effects").c_str());
  RemoveDirectoryA(app_files.c_str());
  int found = 0;
  for (int i = 0; i < candidate_count(); ++i) {
    if (candidate_list.entries[i].row != 28) continue;
    const HostArchitecture& host = candidate_list.entries[i].host;
    EXPECT_NE(host.evidence, EVIDENCE_HOST_PROGRAM) << candidate_list.entries[i].path;
    EXPECT_EQ(host.architecture, ARCH_UNKNOWN);
    EXPECT_EQ(host.bridged, 1);
    ++found;
  }
  EXPECT_EQ(found, 1);
}

// Each folder is tested by entering it; none may stay the current directory, where
// Windows would hold it open against renaming and removal.
TEST_F(ProbeSequenceTest, LeavesTheCurrentDirectoryWhereItWas) {
  tree.make_folder("Old\\Plugins\\Veltrane");
  seed.sz(HKEY_CURRENT_USER, "Software\\Veltrane\\ProbeTests", "PluginDir", tree.path("Old\\Plugins\\Veltrane"));
  char before[MAX_PATH], after[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, before), 0u);
  run_probe_sequence();
  ASSERT_EQ(listed(), std::vector<std::string>{stored("Old\\Plugins")});
  ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, after), 0u);
  EXPECT_STREQ(after, before);
  EXPECT_TRUE(RemoveDirectoryA(tree.path("Old\\Plugins\\Veltrane").c_str())) << GetLastError();
}

// Paint Shop Pro X to X3 (row 36) and Photo-Brush (row 38): 32-bit hosts whose
// folders are numbered, or kept per version, in the user's registry.
TEST_F(ProbeSequenceTest, NumberedAndPerVersionFoldersOfPaintShopProXAndPhotoBrush) {
  const std::string psp = "SOFTWARE\\Corel\\Paint Shop Pro\\", brush = "Software\\MediaChance\\";
  struct Case {
    std::string key;
    const char* name;
    DWORD type;
    const char* folder;  // null: a value too long for the buffers
    int row;             // 0: not listed
  } cases[] = {
      {psp + "10\\FileLocations\\PlugIns\\0", "Dir", REG_SZ, "X", 36},
      {psp + "12.5\\FileLocations\\PlugIns\\0", "Dir", REG_DWORD, "X2 Number", 0},  // the next number is still read
      {psp + "12.5\\FileLocations\\PlugIns\\1", "Dir", REG_EXPAND_SZ, "X2", 36},
      {psp + "13\\FileLocations\\PlugIns\\0", "Dir", REG_SZ, nullptr, 0},
      {psp + "13\\FileLocations\\PlugIns\\1", "Dir", REG_SZ, "X3", 36},
      {psp + "13\\FileLocations\\PlugIns\\3", "Dir", REG_SZ, "X3 After Gap", 0},
      {brush + "Photo-Brush 4\\Plugins", "Path", REG_SZ, "Pb4", 38},
      {brush + "photo-brush 5\\Plugins", "Path", REG_SZ, "Pb5", 38},
      {brush + "Photo-Reactor\\Plugins", "Path", REG_SZ, "Reactor", 0},  // another product of the maker
  };
  for (const Case& c : cases) {
    std::string data = c.folder ? tree.make_folder(c.folder) : std::string(300, 'L');
    seed.raw(HKEY_CURRENT_USER, c.key, c.name, c.type, c.type == REG_DWORD ? "1234" : data + '\0');
  }
  run_probe_sequence();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    const CandidateFolder* found = nullptr;
    for (int i = 0; i < candidate_count(); ++i)
      if (c.folder && candidate_list.entries[i].path == stored(c.folder)) found = &candidate_list.entries[i];
    EXPECT_EQ(found ? found->row : 0, c.row);
    if (found) {
      EXPECT_EQ(found->host.architecture, ARCH_X86);
    }
  }
  EXPECT_EQ(candidate_count(), 5);
}

}  // namespace
