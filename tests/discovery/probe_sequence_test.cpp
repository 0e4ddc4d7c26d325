#include "probe_sequence.h"

#include <shlobj.h>

#include <algorithm>

#include "discovery_fixture.h"
#include "pe_stub.h"
#include "settings_files.h"

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
  // `relative` below the folder `csidl`; the test removes what it made there.
  std::string user_place(int csidl, const std::string& relative) {
    char base[MAX_PATH];
    EXPECT_EQ(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, base), S_OK);
    return std::string(base) + "\\" + relative;
  }
  std::string make_user_folder(int csidl, const std::string& relative) {
    std::string path = user_place(csidl, relative);
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
      CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
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

std::string sz_bytes(const std::string& text) { return std::string(text.c_str(), text.size() + 1); }

// Paint Shop Pro X to X3 keep their folders below a key spelt with blanks, one per
// version, numbered from 0 until one is missing; they are 32-bit programs.
TEST_F(ProbeSequenceTest, PaintShopProXToX3FoldersAreReadPerVersionUpToTheFirstMissingNumber) {
  struct Row {
    const char* version;
    int number;
    DWORD type;
    std::string data;  // a folder of the tree
    bool listed;
  } cases[] = {
      {"10", 0, REG_SZ, "X\\0", true},
      {"10", 1, REG_EXPAND_SZ, "X\\1", true},
      {"12.5", 0, REG_SZ, "X2 2010\\0", true},
      {"13", 0, REG_DWORD, "X3\\0", false},  // another type: nothing, and the next number is read
      {"13", 1, REG_SZ, std::string(300, 'L'), false},  // too long: passed over
      {"13", 2, REG_SZ, "X3\\2", true},
      {"13", 4, REG_SZ, "X3\\4", false},  // after the missing 3
  };
  for (const Row& row : cases) {
    std::string key = "SOFTWARE\\Corel\\Paint Shop Pro\\" + std::string(row.version) + "\\FileLocations\\PlugIns\\" +
                      std::to_string(row.number);
    std::string data = row.data.size() < 100 ? tree.make_folder(row.data) : row.data;
    seed.raw(HKEY_CURRENT_USER, key, "Dir", row.type, row.type == REG_DWORD ? std::string(4, '\1') : sz_bytes(data));
  }
  run_probe_sequence();
  std::vector<std::string> found = listed();
  for (const Row& row : cases) {
    SCOPED_TRACE(std::string(row.version) + " " + std::to_string(row.number));
    if (row.data.size() < 100) {
      EXPECT_EQ(std::count(found.begin(), found.end(), stored(row.data)), row.listed ? 1 : 0);
    }
  }
  EXPECT_EQ(found, (std::vector<std::string>{stored("X\\0"), stored("X\\1"), stored("X2 2010\\0"), stored("X3\\2")}));
  EXPECT_EQ(architectures(), std::vector<std::string>(4, "x86"));
  EXPECT_EQ(rows(), (std::vector<int>{36, 36, 36, 36, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// Photo-Brush keeps one key per version, "Photo-Brush <n>", beside its maker's other products.
TEST_F(ProbeSequenceTest, PhotoBrushFoldersComeFromEveryVersionKey) {
  struct Row {
    const char* key;  // below Software\MediaChance
    DWORD type;
    std::string data;  // a folder of the tree
    bool made;         // the folder exists
    bool listed;
  } cases[] = {
      {"Photo-Brush 4", REG_SZ, "PB4", true, true},
      {"photo-brush 10", REG_EXPAND_SZ, "PB10", true, true},  // any case
      {"Photo-Reactor", REG_SZ, "Reactor", true, false},      // another product of the maker
      {"Photo-Brush 6", REG_DWORD, "PB6", true, false},
      {"Photo-Brush 7", REG_SZ, std::string(300, 'L'), false, false},
      {"Photo-Brush 8", REG_SZ, "Missing", false, false},  // listed only as it stands
  };
  for (const Row& row : cases) {
    std::string data = row.made ? tree.make_folder(row.data) : row.data.size() < 100 ? tree.path(row.data) : row.data;
    seed.raw(HKEY_CURRENT_USER, "Software\\MediaChance\\" + std::string(row.key) + "\\Plugins", "Path", row.type,
             row.type == REG_DWORD ? std::string(4, '\1') : sz_bytes(data));
  }
  run_probe_sequence();
  std::vector<std::string> found = listed();
  for (const Row& row : cases) {
    SCOPED_TRACE(row.key);
    if (row.data.size() < 100) {
      EXPECT_EQ(std::count(found.begin(), found.end(), stored(row.data)), row.listed ? 1 : 0);
    }
  }
  EXPECT_EQ(found.size(), 2u);
  EXPECT_EQ(architectures(), std::vector<std::string>(2, "x86"));
  EXPECT_EQ(rows()[0], 38);
  EXPECT_EQ(rows()[1], 38);
}

// PhotoImpact's ulead32.ini lies in the all-users application data, read only as a
// disk file and only its first megabyte.
TEST_F(ProbeSequenceTest, PhotoImpactsPluginDirsComeFromUlead32IniInTheAllUsersData) {
  const std::string a = tree.make_folder("PI A"), c = tree.make_folder("PI C"), d = tree.make_folder("PI D");
  const std::string chain = "[General]\r\nPLUGINDIR1=" + d + "\r\n[PLUG IN]\r\nPLUGINDIR1=" + a + "\r\nPLUGINDIR2=" +
                            tree.path("PI missing") + "\r\nPLUGINDIR3=\"" + c + "\"\r\nPLUGINDIR5=" + d + "\r\n";
  struct Row {
    const char* name;
    std::string text;  // "" makes a folder of the file's name
    std::vector<std::string> listed;
  } cases[] = {
      {"a chain with a missing folder and a gap", chain, {stored("PI A"), stored("PI C")}},
      {"a folder of that name", "", {}},
      {"beyond the first megabyte", std::string(SETTINGS_LIMIT, ' ') + "\n" + chain, {}},
  };
  const std::string folder = make_user_folder(CSIDL_COMMON_APPDATA, "Ulead Systems");
  const std::string ini = folder + "\\ulead32.ini";
  for (const Row& row : cases) {
    SCOPED_TRACE(row.name);
    reset_candidate_list();
    if (row.text.empty()) {
      CreateDirectoryA(ini.c_str(), nullptr);
    } else {
      HANDLE file = CreateFileA(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE);
      DWORD written = 0;
      WriteFile(file, row.text.data(), static_cast<DWORD>(row.text.size()), &written, nullptr);
      CloseHandle(file);
    }
    run_probe_sequence();
    row.text.empty() ? RemoveDirectoryA(ini.c_str()) : DeleteFileA(ini.c_str());
    EXPECT_EQ(listed(), row.listed);
    EXPECT_EQ(architectures(), std::vector<std::string>(row.listed.size(), "x86"));
    for (size_t i = 0; i < row.listed.size(); ++i) EXPECT_EQ(rows()[i], 37);
  }
  EXPECT_TRUE(RemoveDirectoryA(folder.c_str()));
}

// PhotoDemon keeps its Data folder in the user's local application data when it may
// not write beside its program.
TEST_F(ProbeSequenceTest, PhotoDemonsFolderIsItsDataFoldersWhereItExists) {
  struct Row {
    const char* made;  // below the local application data
    bool listed;
  } cases[] = {{"PhotoDemon\\Data", false}, {"PhotoDemon\\Data\\8bfPlugins", true}};
  for (const Row& row : cases) {
    SCOPED_TRACE(row.made);
    reset_candidate_list();
    const std::string made = make_user_folder(CSIDL_LOCAL_APPDATA, row.made);
    run_probe_sequence();
    if (row.listed) {
      ASSERT_EQ(candidate_count(), 1);
      EXPECT_EQ(lower(candidate_list.entries[0].path), lower(made + "\\"));
      EXPECT_EQ(candidate_list.entries[0].row, 39);
      EXPECT_EQ(architectures(), std::vector<std::string>{"x86"});
    } else {
      EXPECT_EQ(candidate_count(), 0);
    }
  }
  for (const char* folder : {"PhotoDemon\\Data\\8bfPlugins", "PhotoDemon\\Data", "PhotoDemon"})
    EXPECT_TRUE(RemoveDirectoryA(user_place(CSIDL_LOCAL_APPDATA, folder).c_str())) << folder;
}

}  // namespace
