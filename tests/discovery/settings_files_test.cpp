// The folders hosts keep in settings files of their own: PSFilterPdn's XML in both
// its forms, GIMP's pspi-path, and what makes a file give nothing.
#include "settings_files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

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

// A settings file of a megabyte, of any shape, is read in one pass: a pass over the
// text per element takes minutes for a megabyte, far past the generous bound.
TEST(SettingsFiles, AMegabyteOfAnyShapeIsParsedInOnePass) {
  auto repeat = [](const std::string& piece) {
    std::string text;
    while (text.size() + piece.size() < SETTINGS_LIMIT - 400) text += piece;
    return text;
  };
  std::string prefixes;  // 100 prefixes declared nowhere
  for (int i = 0; i < 100; ++i) {
    std::string name = "p" + std::to_string(i) + ":string>";
    prefixes += "<" + name + "C:\\F</" + name;
  }
  const std::string two = "<SearchDirectories xmlns:a=\"" + ARRAYS + "\" xmlns:b=\"" + ARRAYS + "\">";
  struct Row {
    const char* shape;
    std::string text;
    bool all;  // every "C:\F" is a folder, else none
  } rows[] = {
      {"one prefix", today(repeat("<d2p1:string>C:\\F</d2p1:string>")), true},
      {"two in turn",
       "<S>" + two + repeat("<a:string>C:\\F</a:string><b:string>C:\\F</b:string>") + "</SearchDirectories></S>", true},
      {"undeclared", today(repeat(prefixes)), false},
      {"no tag ends", repeat("<a "), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.shape);
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    std::string found = folders(psfilterpdn_folders, row.text);
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("%s: %u bytes in %.1f ms\n", row.shape, static_cast<unsigned>(row.text.size()), ms);
    size_t expected = 0;
    for (size_t at = 0; row.all && (at = row.text.find("C:\\F", at)) != std::string::npos; ++at) ++expected;
    EXPECT_EQ(found.size(), expected ? expected * 5 - 1 : 0);  // "C:\F" joined by "|"
    EXPECT_LT(ms, 2000.0);
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
