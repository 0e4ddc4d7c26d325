#include "host_probes.h"

#include <algorithm>

#include "canary.h"
#include "discovery_fixture.h"

namespace {

constexpr char PROGID[] = "VtProbe.Test";  // the test's own document type
const std::string COMMAND_KEY = std::string(PROGID) + "\\shell\\open\\command";

class HostProbesTest : public DiscoveryTest {
protected:
  // Registers the test's document type as opened by `program` (a path in the tree).
  void register_host(const std::string& program) {
    seed.sz(HKEY_CLASSES_ROOT, COMMAND_KEY, "", "\"" + tree.path(program) + "\" \"%1\"");
  }
  // Every file find_host_file yields from the tree folder `start`, relative to the tree.
  std::vector<std::string> found_files(const std::string& start, const char* prefix, const char* extension,
                                       int levels_up) {
    std::vector<std::string> files;
    char out[PATH_CAPACITY];
    int first = 1;
    while (find_host_file((tree.path(start) + "\\").c_str(), prefix, extension, out, first, levels_up)) {
      EXPECT_EQ(first, 0);
      files.push_back(std::string(out).substr(tree.root().size() + 1));
    }
    std::sort(files.begin(), files.end());
    return files;
  }
};

TEST_F(HostProbesTest, HostFolderComesFromTheRegisteredCommand) {
  struct Row {
    DWORD type;
    const char* command;
    const char* folder;  // null: no folder
  } rows[] = {
      {REG_SZ, "\"C:\\Program Files\\Host\\host.exe\" \"%1\"", "C:\\Program Files\\Host\\"},
      {REG_SZ, "C:\\Host\\host.exe /open %1", "C:\\Host\\"},
      {REG_SZ, "host.exe C:\\Docs\\%1", nullptr},
      {REG_SZ, "\"%1\"", nullptr},
      {REG_EXPAND_SZ, "C:\\Host\\host.exe", "C:\\Host\\"},
      {REG_EXPAND_SZ, "\"%VT_HOST%\\host.exe\" \"%1\"", "C:\\Vt Host\\"},
  };
  SetEnvironmentVariableA("VT_HOST", "C:\\Vt Host");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    RegistrySeed command;
    command.raw(HKEY_CLASSES_ROOT, COMMAND_KEY, "", row.type, std::string(row.command) + '\0');
    char out[PATH_CAPACITY] = "sentinel", program[PATH_CAPACITY];
    char* result = host_folder_from_command(HKEY_CLASSES_ROOT, PROGID, "shell\\open\\command", out, program);
    if (row.folder) {
      EXPECT_EQ(result, out);
      EXPECT_STREQ(out, row.folder);
    } else {
      EXPECT_EQ(result, nullptr);
      EXPECT_STREQ(out, "sentinel");
    }
  }
  char out[PATH_CAPACITY], program[PATH_CAPACITY];
  EXPECT_EQ(host_folder_from_command(HKEY_CLASSES_ROOT, "VtProbe.Missing", "shell\\open\\command", out, program), nullptr);
}

TEST_F(HostProbesTest, FindHostFileMatchesPrefixAndExtensionInAnyCase) {
  const char* files[] = {"host\\Photoshop.INI", "host\\myphotos.ini", "host\\photos.ini.bak", "host\\sub\\PHOTOS2.ini",
                         "host\\.hidden\\photos.ini", "host\\notes.txt"};
  for (const char* file : files) tree.write_file(file, "x");
  EXPECT_EQ(found_files("host", "photos", ".ini", 0),
            (std::vector<std::string>{"host\\Photoshop.INI", "host\\sub\\PHOTOS2.ini"}));
}

TEST_F(HostProbesTest, FindHostFileSearchesNineLevelsBelowTheStart) {
  std::string folder = "host";
  for (int level = 1; level <= 10; ++level) {
    folder += "\\d" + std::to_string(level);
    tree.write_file(folder + "\\photop" + std::to_string(level) + ".ini", "x");
  }
  std::vector<std::string> found = found_files("host", "photop", ".ini", 0);
  EXPECT_EQ(found.size(), 9u);
  EXPECT_EQ(std::count(found.begin(), found.end(), "host\\d1\\d2\\d3\\d4\\d5\\d6\\d7\\d8\\d9\\photop9.ini"), 1);
}

TEST_F(HostProbesTest, FindHostFileStartsLevelsUpAndVisitsTheHostFolder) {
  tree.write_file("Corel\\photopnt.ini", "x");
  tree.write_file("Corel\\Programs\\PhotoPaint.ini", "x");
  tree.write_file("Corel\\Config\\deep\\photop.ini", "x");
  EXPECT_EQ(found_files("Corel\\Programs", "photop", ".ini", 1),
            (std::vector<std::string>{"Corel\\Config\\deep\\photop.ini", "Corel\\Programs\\PhotoPaint.ini",
                                      "Corel\\photopnt.ini"}));
  EXPECT_EQ(found_files("Corel\\Programs", "photop", ".ini", 0), std::vector<std::string>{"Corel\\Programs\\PhotoPaint.ini"});
  char out[PATH_CAPACITY];
  int first = 1;
  EXPECT_EQ(find_host_file(tree.path("missing\\").c_str(), "photop", ".ini", out, first, 0), 0);
  EXPECT_EQ(find_host_file(tree.path("missing\\").c_str(), "photop", ".ini", out, first, 0), 0);
}

TEST_F(HostProbesTest, TextSettingsOfferTheFirstDrivePathAfterEqualsOrParenthesis) {
  tree.make_folder("corel\\plugins");
  std::string folder = lower(tree.path("corel\\plugins"));
  std::string junk;
  for (int i = 0; i < 3000; ++i) junk += static_cast<char>(i % 7 == 0 ? 0 : 0x80 + i % 90);
  struct Row {
    const char* what;
    std::string text;
    bool admitted;
  } rows[] = {
      {"dirs1 after =", "[dirs]\ndirs1=0," + folder + "\n", true},
      {"first letter not a drive", "dirs1=abc;" + folder + "\n", false},
      {"= before the key", "x=" + folder + " ;dirs1\n", true},
      {"parenthesis", "plugins (dirs1) (" + folder + ")\n", true},
      {"first candidate ends the probe", "dirs1=c:\\no such folder\ndirs1=" + folder + "\n", false},
      {"last line without a line end", "dirs1=" + folder, false},
      {"key in the second piece", std::string(200, 'x') + "dirs1=" + folder + "\n", true},
      {"key split between pieces", std::string(198, 'x') + "dirs1=" + folder + "\n", false},
      {"binary junk without line ends", junk, false},
      {"junk, then a good line", junk + "\ndirs1=" + folder + "\n", true},
  };
  register_host("Corel\\Programs\\photopnt.exe");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    reset_candidate_list();
    tree.write_file("Corel\\Programs\\photop.ini", row.text);
    scan_host_text_settings(PROGID, "photop", ".ini", "dirs1", 0, NO_FINDINGS);
    EXPECT_EQ(listed(), row.admitted ? std::vector<std::string>{stored("corel\\plugins")} : std::vector<std::string>{});
  }
}

TEST_F(HostProbesTest, TheWindowsIniOffersEveryPathOfTheFile) {
  char windows[PATH_CAPACITY];
  ASSERT_GT(GetWindowsDirectoryA(windows, PATH_CAPACITY), 0u);
  std::string ini = std::string(windows) + "\\vt_probe_test.ini";
  tree.make_folder("a");
  tree.make_folder("b");
  tree.make_folder("c");
  std::string text = "[Plugins]\nPlugInDir=" + tree.path("a") + "\nother=" + tree.path("c") +
                     "\nplugindir1=C:\\no such folder\nplugindir2=\"" + tree.path("b") + "\"\n";
  HANDLE file = CreateFileA(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  scan_windows_ini("vt_probe_test.ini", "plugindir", NO_FINDINGS);
  EXPECT_TRUE(DeleteFileA(ini.c_str()));
  EXPECT_EQ(listed(), (std::vector<std::string>{stored("a"), stored("b")}));
  scan_windows_ini("vt_probe_test.ini", "plugindir", NO_FINDINGS);  // a missing file adds nothing
  EXPECT_EQ(candidate_count(), 2);
}

TEST_F(HostProbesTest, BinarySettingsOfferTheFirstPathRecordOfTheRightLength) {
  std::string good = tree.make_folder("Filters");
  std::string other = tree.make_folder("Other");
  auto record = [](const std::string& path, size_t length) {
    return std::string("\x80", 1) + static_cast<char>(length) + path + '\0';
  };
  std::string run = "C:\\" + std::string(BINARY_PATH_LIMIT - 3, 'r');  // 250 characters, no NUL
  std::string head_at_last_byte = run.substr(0, BINARY_PATH_LIMIT - 1) + "\x80";
  // A record head that starts three bytes before the run's last byte is not a hit.
  std::string head_inside = run.substr(0, BINARY_PATH_LIMIT - 4) + "\x80" + static_cast<char>(good.size()) + good.substr(0, 2);
  struct Row {
    const char* what;
    std::string bytes;
    const std::string* admitted;
  } rows[] = {
      {"length matches", "junk\x80" + record(good, good.size()) + record(other, other.size()), &good},
      {"length one short, search goes on", record(good, good.size() - 1) + record(other, other.size()), &other},
      {"250 characters without NUL", std::string("\x80\x05", 2) + run + record(other, other.size()), &other},
      {"record begins at the run's last byte", std::string("\x80\x05", 2) + head_at_last_byte +
                                                   static_cast<char>(good.size()) + good + '\0', &good},
      {"record head inside the run", std::string("\x80\x05", 2) + head_inside + good.substr(2) + '\0', nullptr},
      {"file ends inside a candidate", "\x80\x10" + good.substr(0, 6), nullptr},
      {"no record", std::string(1000, '\x80'), nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    reset_candidate_list();
    scan_binary_settings(tree.write_file("painter.set", row.bytes).c_str(), NO_FINDINGS);
    EXPECT_EQ(listed(), row.admitted ? std::vector<std::string>{stored(row.admitted->substr(tree.root().size() + 1))}
                                     : std::vector<std::string>{});
  }
  scan_binary_settings(tree.path("missing.set").c_str(), NO_FINDINGS);
}

}  // namespace
