#include "registry_scan.h"

#include "canary.h"
#include "discovery_fixture.h"

namespace {

constexpr char VENDOR[] = "vt_scan";  // the test's own vendor key below software
const std::string VENDOR_KEY = std::string("software\\") + VENDOR;

std::string sz(const std::string& text) { return std::string(text.c_str(), text.size() + 1); }

// `text` with its "~" (if any) replaced by `root`.
std::string with_root(std::string text, const std::string& root) {
  size_t at = text.find('~');
  return at == std::string::npos ? text : text.replace(at, 1, root);
}

class RegistryScanTest : public DiscoveryTest {
protected:
  void scan(const char* key_pattern = "", const char* value_key = nullptr, const char* suffix = nullptr) {
    scan_vendor_registry("software", VENDOR, key_pattern, value_key, suffix, NO_FINDINGS);
  }
};

TEST_F(RegistryScanTest, ReadStringValueKeepsOnlyStringDataWithin256Bytes) {
  struct Row {
    const char* name;
    DWORD type;
    std::string bytes;
    bool succeeds;
    std::string expected;
  } rows[] = {
      {"plain", REG_SZ, sz("C:\\x"), true, "C:\\x"},
      {"", REG_SZ, sz("D:\\default"), true, "D:\\default"},
      {"expand", REG_EXPAND_SZ, sz("C:\\e"), true, "C:\\e"},
      {"expanded", REG_EXPAND_SZ, sz("%VT_FOLDER%\\x"), true, "C:\\Vt Folder\\x"},
      {"expands too far", REG_EXPAND_SZ, sz("%VT_LONG%%VT_LONG%"), true, ""},  // 600 characters
      {"number", REG_DWORD, std::string("\x01\x02\x03\x04", 4), true, ""},
      {"unterminated", REG_SZ, "C:\\u", true, "C:\\u"},
      {"full", REG_SZ, std::string(256, 'f'), true, std::string(256, 'f')},  // no room for a terminator
      {"fits", REG_SZ, sz(std::string(255, 'g')), true, std::string(255, 'g')},
      {"long", REG_SZ, sz(std::string(256, 'h')), false, ""},
  };
  SetEnvironmentVariableA("VT_FOLDER", "C:\\Vt Folder");
  SetEnvironmentVariableA("VT_LONG", std::string(300, 'v').c_str());
  for (const Row& row : rows) seed.raw(HKEY_CURRENT_USER, VENDOR_KEY, row.name, row.type, row.bytes);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char out[PATH_CAPACITY + 1];
    fill_canary(out);
    LONG result = read_string_value(HKEY_CURRENT_USER, VENDOR_KEY.c_str(), row.name, out);
    EXPECT_EQ(result == ERROR_SUCCESS, row.succeeds) << result;
    EXPECT_EQ(std::string(out), row.expected);
    EXPECT_TRUE(is_canary(out[PATH_CAPACITY]));  // an expanded value may use the whole buffer
  }
  char out[PATH_CAPACITY] = "sentinel";
  EXPECT_NE(read_string_value(HKEY_CURRENT_USER, VENDOR_KEY.c_str(), "missing", out), ERROR_SUCCESS);
  EXPECT_STREQ(out, "");
  EXPECT_NE(read_string_value(HKEY_CURRENT_USER, "software\\vt_no_such_key", "", out), ERROR_SUCCESS);
}

TEST_F(RegistryScanTest, NextStringValueEnumeratesAKeyThenRewinds) {
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY, "a", "first");
  seed.raw(HKEY_CURRENT_USER, VENDOR_KEY, "b", REG_EXPAND_SZ, sz("C:\\expand"));
  seed.raw(HKEY_CURRENT_USER, VENDOR_KEY, "c", REG_SZ, std::string(256, 'c'));
  char name[PATH_CAPACITY + 1];
  char data[PATH_CAPACITY + 1];
  const char* expected[][2] = {{"a", "first"}, {"b", "C:\\expand"}, {"c", nullptr}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    fill_canary(name);
    fill_canary(data);
    ASSERT_EQ(next_string_value(HKEY_CURRENT_USER, VENDOR_KEY.c_str(), name, data), ERROR_SUCCESS);
    EXPECT_STREQ(name, expected[i][0]);
    EXPECT_EQ(std::string(data), expected[i][1] ? expected[i][1] : std::string(256, 'c'));
    EXPECT_TRUE(is_canary(data[REGISTRY_OFFERED + 1]));
    EXPECT_EQ(value_cursor, i + 1);
  }
  EXPECT_NE(next_string_value(HKEY_CURRENT_USER, VENDOR_KEY.c_str(), name, data), ERROR_SUCCESS);
  EXPECT_EQ(value_cursor, 0);
  value_cursor = 5;
  EXPECT_NE(next_string_value(HKEY_CURRENT_USER, "software\\vt_no_such_key", name, data), ERROR_SUCCESS);
  EXPECT_EQ(value_cursor, 0);
}

TEST_F(RegistryScanTest, NamesOrDataTooLongArePassedOverAndTheKeysLaterValuesRead) {
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY, "a", "ok");
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY, "b" + std::string(299, 'n'), "long name");
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY, "c", std::string(300, 'd'));
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY, "d", "after");
  char name[PATH_CAPACITY];
  char data[PATH_CAPACITY];
  const char* expected[][2] = {{"a", "ok"}, {"", ""}, {"", ""}, {"d", "after"}};
  for (const auto& value : expected) {
    ASSERT_EQ(next_string_value(HKEY_CURRENT_USER, VENDOR_KEY.c_str(), name, data), ERROR_SUCCESS);
    EXPECT_STREQ(name, value[0]);
    EXPECT_STREQ(data, value[1]);
  }
  EXPECT_NE(next_string_value(HKEY_CURRENT_USER, VENDOR_KEY.c_str(), name, data), ERROR_SUCCESS);
  EXPECT_EQ(value_cursor, 0);
}

// A 32-bit program reading what 64-bit programs registered: their Program Files.
TEST_F(RegistryScanTest, ExpandsProgramFilesOfThe64BitViewTo64BitFolders) {
  RegistrySeed view64(KEY_WOW64_64KEY);
  view64.raw(HKEY_LOCAL_MACHINE, VENDOR_KEY, "p", REG_EXPAND_SZ, sz("%ProgramFiles%\\P|%COMMONPROGRAMFILES%"));
  char out[PATH_CAPACITY], program_files[PATH_CAPACITY], common_files[PATH_CAPACITY];
  ASSERT_EQ(read_string_value(HKEY_LOCAL_MACHINE, VENDOR_KEY.c_str(), "p", out, KEY_WOW64_64KEY), ERROR_SUCCESS);
  ASSERT_GT(GetEnvironmentVariableA("ProgramW6432", program_files, PATH_CAPACITY), 0u);
  ASSERT_GT(GetEnvironmentVariableA("CommonProgramW6432", common_files, PATH_CAPACITY), 0u);
  EXPECT_EQ(std::string(out), std::string(program_files) + "\\P|" + common_files);
}

TEST_F(RegistryScanTest, KeyPathStackHolds19LevelsAndRefusesAnOverlongPath) {
  KeyPathStack stack;
  stack.top = -1;
  char key_path[PATH_CAPACITY + 1];
  fill_canary(key_path);
  lstrcpyA(key_path, "software\\v");
  for (int level = 0; level < MAX_HELD_LEVELS; ++level) {
    int index = level + 10;
    ASSERT_EQ(push_level(stack, key_path, "k", index), 1);
    EXPECT_EQ(index, 0);
  }
  std::string deepest = key_path;
  int index = 7;
  EXPECT_EQ(push_level(stack, key_path, "k", index), 0);
  EXPECT_EQ(index, 7);
  EXPECT_EQ(std::string(key_path), deepest);
  for (int level = MAX_HELD_LEVELS - 1; level >= 0; --level) EXPECT_EQ(pop_level(stack, key_path), level + 10);
  EXPECT_STREQ(key_path, "software\\v");
  EXPECT_EQ(pop_level(stack, key_path), -1);
  EXPECT_EQ(stack.top, -1);

  // 390 + "\" + 8 characters fill the buffer to its last byte; one more does not fit.
  std::string base(390, 'p');
  lstrcpyA(key_path, base.c_str());
  EXPECT_EQ(push_level(stack, key_path, "12345678", index), 1);
  EXPECT_EQ(strlen(key_path), static_cast<size_t>(PATH_CAPACITY - 1));
  EXPECT_TRUE(is_canary(key_path[PATH_CAPACITY]));
  pop_level(stack, key_path);
  index = 3;
  EXPECT_EQ(push_level(stack, key_path, "123456789", index), 0);
  EXPECT_EQ(std::string(key_path), base);
  EXPECT_EQ(index, 3);
}

TEST_F(RegistryScanTest, TheValueFilterAcceptsDriveFoldersByName) {
  struct Row {
    const char* key;       // below the vendor key
    const char* pattern;
    const char* name;
    DWORD type;
    std::string data;      // "~" stands for the tree's root
    const char* value_key;
    const char* suffix;
    const char* admitted;  // folder of the tree, or null for nothing
  } rows[] = {
      {"host 1", "host", "Directory2", REG_SZ, "~\\Filters", nullptr, nullptr, "Filters"},
      {"host 1", "host", "PluginPath", REG_SZ, "\"~\\Filters\"", nullptr, nullptr, "Filters"},
      {"host 1", "host", "Path", REG_SZ, "~\\Filters", nullptr, nullptr, nullptr},
      {"Plug-Ins", "", "Path", REG_SZ, "  ~\\Filters", nullptr, nullptr, "Filters"},
      {"host 1", "host", "PluginPath", REG_SZ, "1:\\x", nullptr, nullptr, nullptr},
      {"host 1", "host", "PluginPath", REG_SZ, "12 34", nullptr, nullptr, nullptr},
      {"host 1", "host", "PluginPath", REG_EXPAND_SZ, "~\\Filters", nullptr, nullptr, "Filters"},
      {"host 1", "other", "PluginPath", REG_SZ, "~\\Filters", nullptr, nullptr, nullptr},
      {"host 1", "", "InstallDest", REG_SZ, "~\\Office\\", "installdest", "photodraw\\plugins",
       "Office\\photodraw\\plugins"},
      {"host 1", "", "InstallDest", REG_SZ, "~\\Office", "installdest", "photodraw\\plugins",
       "Officephotodraw\\plugins"},
      {"host 1", "", "InstallDir", REG_SZ, "~\\Office\\", "installdest", "photodraw\\plugins", nullptr},
  };
  tree.make_folder("Filters");
  tree.make_folder("Office\\photodraw\\plugins");
  tree.make_folder("Officephotodraw\\plugins");
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.name) + " = " + row.data);
    reset_candidate_list();
    {
      RegistrySeed values;
      values.raw(HKEY_CURRENT_USER, VENDOR_KEY + "\\" + row.key, row.name, row.type, sz(with_root(row.data, tree.root())));
      scan(row.pattern, row.value_key, row.suffix);
    }
    if (row.admitted)
      EXPECT_EQ(listed(), std::vector<std::string>{stored(row.admitted)});
    else
      EXPECT_EQ(listed(), std::vector<std::string>{});
  }
}

TEST_F(RegistryScanTest, WalksThreeRootsDepthFirstValuesBeforeSubkeys) {
  const char* folders[] = {"user", "user a", "user a b", "user c", "machine", "default"};
  for (const char* folder : folders) tree.make_folder(folder);
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY + "\\c", "plugins", tree.path("user c"));
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY + "\\a\\b", "plugins", tree.path("user a b"));
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY + "\\a", "plugins", tree.path("user a"));
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY, "plugins", tree.path("user"));
  seed.sz(HKEY_LOCAL_MACHINE, VENDOR_KEY + "\\x", "plugins", tree.path("machine"));
  seed.sz(HKEY_USERS, ".default\\" + VENDOR_KEY, "plugins", tree.path("default"));
  scan();
  std::vector<std::string> expected;
  for (const char* folder : folders) expected.push_back(stored(folder));
  EXPECT_EQ(listed(), expected);
}

TEST_F(RegistryScanTest, AValueTooLongForTheBuffersIsPassedOverAndItsKeyStillRead) {
  tree.make_folder("later");
  tree.make_folder("below");
  tree.make_folder("next");
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY + "\\plug", "a", tree.path(std::string(300, 'x')));
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY + "\\plug", "b", tree.path("later"));
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY + "\\plug\\sub", "dir", tree.path("below"));
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY + "\\plug2", "dir", tree.path("next"));
  scan();
  EXPECT_EQ(listed(), (std::vector<std::string>{stored("later"), stored("below"), stored("next")}));
}

TEST_F(RegistryScanTest, DataOf256BytesWithoutTerminatorIsStillAPath) {
  std::string data = tree.root() + "\\";
  data += std::string(REGISTRY_OFFERED - data.size(), 'q');
  seed.raw(HKEY_CURRENT_USER, VENDOR_KEY, "plugins", REG_SZ, data);
  scan();
  EXPECT_EQ(listed(), std::vector<std::string>{stored()});
}

TEST_F(RegistryScanTest, KeysBelowThe19thLevelAreSkippedAndTheWalkGoesOn) {
  std::string key = VENDOR_KEY;
  for (int level = 1; level <= 21; ++level) {
    key += "\\l";
    if (level >= 18) seed.sz(HKEY_CURRENT_USER, key, "plugins", tree.make_folder("d" + std::to_string(level)));
  }
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY + "\\m", "plugins", tree.make_folder("sibling"));
  scan();
  EXPECT_EQ(listed(), (std::vector<std::string>{stored("d18"), stored("d19"), stored("sibling")}));
}

TEST_F(RegistryScanTest, AKeyPathThatWouldPass400CharactersIsSkipped) {
  // A 250-character key path is walked; its subkey would take the path past the
  // 400-byte buffer and is skipped, and the walk goes on with the next sibling.
  std::string parent = VENDOR_KEY + "\\" + std::string(250 - VENDOR_KEY.size() - 1, 'a');
  seed.sz(HKEY_CURRENT_USER, parent, "plugins", tree.make_folder("long"));
  seed.sz(HKEY_CURRENT_USER, parent + "\\" + std::string(200, 'b'), "plugins", tree.make_folder("too long"));
  seed.sz(HKEY_CURRENT_USER, VENDOR_KEY + "\\b", "plugins", tree.make_folder("after"));
  scan();
  EXPECT_EQ(listed(), (std::vector<std::string>{stored("long"), stored("after")}));
}

}  // namespace
