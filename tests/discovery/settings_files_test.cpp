// The folders hosts keep in settings files of their own: PSFilterPdn's XML in both
// its forms, GIMP's pspi-path, and what makes a file give nothing.
#include "settings_files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "bounded_text.h"
#include "host_architecture.h"

namespace {

// "folder" per folder, "/" after one whose sub-folders are not searched, joined by "|".
void collect(const char* folder, int with_subfolders, void* context) {
  std::string& found = *static_cast<std::string*>(context);
  found += (found.empty() ? "" : "|") + std::string(folder) + (with_subfolders ? "" : "/");
}

std::string folders(int (*parse)(const char*, FolderSink, void*), const std::string& text) {
  std::string found;
  int count = parse(text.c_str(), collect, &found);
  size_t bars = 0;
  for (char c : found) bars += c == '|';
  EXPECT_EQ(count, found.empty() ? 0 : static_cast<int>(bars + 1)) << text;
  return found;
}

const std::string ARRAYS = "http://schemas.microsoft.com/2003/10/Serialization/Arrays";
std::string today(const std::string& strings, const char* subfolders = "true", const char* prefix = "d2p1") {
  return "\xEF\xBB\xBF<PSFilterPdnSettings xmlns:i=\"http://www.w3.org/2001/XMLSchema-instance\">"
         "<SearchDirectories xmlns:" + std::string(prefix) + "=\"" + ARRAYS + "\">" + strings +
         "</SearchDirectories><SearchSubdirectories>" + subfolders + "</SearchSubdirectories></PSFilterPdnSettings>";
}

TEST(SettingsFiles, PsFilterPdnFoldersInBothForms) {
  struct Row {
    std::string text;
    const char* found;
  } rows[] = {
      {today("<d2p1:string>C:\\Filters</d2p1:string><d2p1:string>D:\\A &amp; B</d2p1:string>"),
       "C:\\Filters|D:\\A &amp; B"},  // references are decoded when the folder is converted
      {today("<q:string>C:\\Q</q:string>", "true", "q"), "C:\\Q"},  // whatever the prefix
      {today("<d2p1:string>C:\\F</d2p1:string>", "false"), "C:\\F/"},
      {today("<other:string xmlns:other=\"urn:x\">C:\\X</other:string><string>C:\\Y</string>"), ""},
      {today("<d2p1:string>C:\\F</d2p1:string>").substr(0, 150), ""},  // cut short
      {"<settings><searchDirs>C:\\A,C:\\B,with comma,\\\\server\\share\\c</searchDirs>"
       "<searchSubDirs>false</searchSubDirs></settings>",
       "C:\\A/|C:\\B,with comma/|\\\\server\\share\\c/"},
      {"<settings><searchDirs>C:\\A", ""},
      {"not xml at all", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(folders(psfilterpdn_folders, row.text), row.found);
  }
}

TEST(SettingsFiles, GimpsPspiPathWithItsEscapes) {
  struct Row {
    const char* text;
    const char* found;
  } rows[] = {
      {"(plug-in-path \"x\")\n(pspi-path \"C:\\\\Filters;D:\\\\More \\\"Q\\\"\")\n", "C:\\Filters|D:\\More \"Q\""},
      {"  (pspi-path \"C:\\\\A\")", "C:\\A"},
      {"# (pspi-path \"C:\\\\Commented\")\n", ""},
      {"(pspi-path \"C:\\\\Unterminated", ""},
      {"(pspi-path C:\\\\NoQuote)", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(folders(pspi_folders, row.text), row.found);
  }
}

// A megabyte of settings, of any shape, is read in one pass: a pass over the text per
// element takes the better part of a minute, far past the generous bound.
TEST(SettingsFiles, AMegabyteOfAnyShapeIsParsedInOnePass) {
  std::string one, many;  // elements of one declared prefix; of 100 prefixes declared nowhere
  while (one.size() < SETTINGS_LIMIT - 400) one += "<d2p1:string>C:\\F</d2p1:string>";  // 31 bytes
  for (int i = 0; many.size() < SETTINGS_LIMIT - 400; ++i)
    many += "<p" + std::to_string(i % 100) + ":string>C:\\F</p" + std::to_string(i % 100) + ":string>";
  struct Row {
    const char* shape;
    std::string text;
    int folders;
  } rows[] = {{"one prefix", today(one), static_cast<int>(one.size() / 31)}, {"undeclared prefixes", today(many), 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.shape);
    DWORD start = GetTickCount();
    EXPECT_EQ(psfilterpdn_folders(row.text.c_str(), [](const char*, int, void*) {}, nullptr), row.folders);
    DWORD ms = GetTickCount() - start;
    std::printf("%s: %u bytes in %lu ms\n", row.shape, static_cast<unsigned>(row.text.size()), ms);
    EXPECT_LT(ms, 2000u);
  }
}

int plugindirs(const char* text, FolderSink sink, void* context) {
  return ini_numbered_values(text, "[plug in]", "plugindir", sink, context);
}

// PhotoImpact's [PLUG IN] PLUGINDIR1, PLUGINDIR2, ... as the host reads them, up to the first one missing.
TEST(SettingsFiles, NumberedIniKeysUpToTheFirstOneMissing) {
  std::string many = "[PLUG IN]\n", at_most;
  for (int i = 1; i <= INI_KEY_LIMIT + 1; ++i) many += "PLUGINDIR" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  for (int i = 1; i <= INI_KEY_LIMIT; ++i) at_most += (i > 1 ? "|" : "") + std::to_string(i);
  struct Row {
    std::string text;
    std::string found;
  } rows[] = {
      {"[PLUG IN]\r\nPLUGINDIR1=C:\\A\r\nPLUGINDIR2=D:\\B\r\n", "C:\\A|D:\\B"},
      {"[Other]\nPLUGINDIR1=C:\\X\n  [plug in]\nplugindir2=C:\\B\n\tPlugInDir1 = C:\\A \n", " C:\\A |C:\\B"},
      {"[PLUG IN]\nPLUGINDIR1=C:\\A\nPLUGINDIR3=C:\\C\n", "C:\\A"},             // a gap ends the chain
      {"[PLUG IN]\nPLUGINDIR10=C:\\T\nPLUGINDIR1=C:\\A\n[NEXT]\nPLUGINDIR2=C:\\B", "C:\\A"},  // 10 is not 1
      {"[PLUG IN]\nPLUGINDIR1=\"C:\\Q\"\nPLUGINDIR1=C:\\Later\nPLUGINDIR2=", "\"C:\\Q|"},  // the first counts
      {"[PLUG IN]\nPLUGINDIR1=" + std::string(PATH_CAPACITY, 'x') + "\nPLUGINDIR2=C:\\B", "C:\\B"},  // too long
      {"[PLUG INS]\nPLUGINDIR1=C:\\A\n[PLUG IN]\n;PLUGINDIR1=C:\\A\nPLUGINDIR1\n", ""},
      {many, at_most},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text.substr(0, 80));
    EXPECT_EQ(folders(plugindirs, row.text), row.found);
  }
}

// A host built only for x64 may be either 64-bit build on ARM64 Windows.
TEST(HostKind, A64BitOnlyHostOnArm64WindowsIsOfUnknown64BitKind) {
  EXPECT_EQ(host_kind_architecture(ARCH_X64, 0), ARCH_X64);
  EXPECT_EQ(host_kind_architecture(ARCH_X64, 1), ARCH_64BIT);
  EXPECT_EQ(host_kind_architecture(ARCH_X86, 1), ARCH_X86);
  EXPECT_EQ(host_kind_architecture(ARCH_UNKNOWN, 1), ARCH_UNKNOWN);
}

}  // namespace
