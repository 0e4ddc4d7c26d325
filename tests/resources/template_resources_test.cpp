// The dialog template "main" as compiled, the manifest and the version
// information: read back from the program's own resource section.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource_ids.h"

namespace {

HMODULE self() { return GetModuleHandleA(nullptr); }

std::vector<unsigned char> resource_bytes(const char* name, const char* type) {
  HRSRC found = FindResourceA(self(), name, type);
  if (!found) return {};
  const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(self(), found)));
  if (!data) return {};
  return std::vector<unsigned char>(data, data + SizeofResource(self(), found));
}

// Reads a standard (not extended) dialog template field by field.
class TemplateReader {
public:
  explicit TemplateReader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}
  bool failed() const { return failed_; }
  DWORD dword() {
    DWORD low = word();
    return low | (DWORD(word()) << 16);
  }
  WORD word() {
    if (offset_ + 2 > bytes_.size()) {
      failed_ = true;
      return 0;
    }
    WORD w = WORD(bytes_[offset_] | (bytes_[offset_ + 1] << 8));
    offset_ += 2;
    return w;
  }
  short coordinate() { return short(word()); }
  // A string or an ordinal (0xFFFF followed by the number): "#n" for an ordinal.
  std::string name_or_ordinal() {
    WORD first = word();
    if (first == 0xFFFF) return "#" + std::to_string(word());
    std::string text;
    for (WORD c = first; c != 0 && !failed_; c = word()) text += char(c < 0x80 ? c : '?');
    return text;
  }
  void align_dword() { offset_ = (offset_ + 3) & ~size_t(3); }

private:
  const std::vector<unsigned char>& bytes_;
  size_t offset_ = 0;
  bool failed_ = false;
};

struct ItemRow {
  DWORD style;
  short x, y, cx, cy;
  WORD id;
  const char* window_class;  // ordinal of the predefined class
};
const ItemRow ITEMS[] = {
    {0x50010003, 35, 72, 204, 214, CONTROL_FOLDER_LIST, "#133"},  // combo box
    {0x40000000, 0, 0, 6, 6, CONTROL_HIDDEN_BUTTON, "#128"},      // button
};

TEST(DialogTemplate, MainHasExactlyTheStylesPositionsAndSizes) {
  std::vector<unsigned char> bytes = resource_bytes(MAIN_DIALOG_NAME, MAKEINTRESOURCEA(5));  // RT_DIALOG
  ASSERT_FALSE(bytes.empty());
  ASSERT_NE(TemplateReader(bytes).dword(), 0xFFFF0001u);  // a standard, not an extended template
  TemplateReader t(bytes);
  EXPECT_EQ(t.dword(), 0x80C008C0u);
  EXPECT_EQ(t.dword(), 0u);  // extended style
  WORD items = t.word();
  EXPECT_EQ(items, 2);
  EXPECT_EQ(t.coordinate(), 0);
  EXPECT_EQ(t.coordinate(), 0);
  EXPECT_EQ(t.coordinate(), 300);
  EXPECT_EQ(t.coordinate(), 300);
  EXPECT_EQ(t.name_or_ordinal(), "");  // no menu
  EXPECT_EQ(t.name_or_ordinal(), "");  // default class
  EXPECT_EQ(t.name_or_ordinal(), "");  // empty title
  EXPECT_EQ(t.word(), 8);              // point size (DS_SETFONT is in the style)
  EXPECT_EQ(t.name_or_ordinal(), "MS Sans Serif");
  for (int i = 0; i < items && i < 2; ++i) {
    SCOPED_TRACE(ITEMS[i].id);
    t.align_dword();
    EXPECT_EQ(t.dword(), ITEMS[i].style);
    EXPECT_EQ(t.dword(), 0u);
    EXPECT_EQ(t.coordinate(), ITEMS[i].x);
    EXPECT_EQ(t.coordinate(), ITEMS[i].y);
    EXPECT_EQ(t.coordinate(), ITEMS[i].cx);
    EXPECT_EQ(t.coordinate(), ITEMS[i].cy);
    EXPECT_EQ(t.word(), ITEMS[i].id);
    EXPECT_EQ(t.name_or_ordinal(), ITEMS[i].window_class);
    EXPECT_EQ(t.name_or_ordinal(), "");  // no text
    EXPECT_EQ(t.word(), 0);              // no creation data
  }
  EXPECT_FALSE(t.failed());
}

INT_PTR CALLBACK plain_dialog_proc(HWND, UINT, WPARAM, LPARAM) { return 0; }

TEST(DialogTemplate, TheDialogManagerBuildsAHiddenButtonAndAVisibleDropDown) {
  HWND dialog = CreateDialogParamA(self(), MAIN_DIALOG_NAME, nullptr, plain_dialog_proc, 0);
  ASSERT_NE(dialog, nullptr);
  HWND list = GetDlgItem(dialog, CONTROL_FOLDER_LIST);
  HWND button = GetDlgItem(dialog, CONTROL_HIDDEN_BUTTON);
  ASSERT_NE(list, nullptr);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(DWORD(GetWindowLongA(button, GWL_STYLE)) & WS_VISIBLE, 0u);
  EXPECT_EQ(DWORD(GetWindowLongA(button, GWL_STYLE)) & 0x0F, DWORD(BS_PUSHBUTTON));
  EXPECT_EQ(DWORD(GetWindowLongA(list, GWL_STYLE)) & (WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT),
            DWORD(WS_VISIBLE | CBS_DROPDOWNLIST));
  EXPECT_EQ(DWORD(GetWindowLongA(dialog, GWL_STYLE)) & WS_SYSMENU, 0u);
  ShowWindow(dialog, SW_SHOW);
  EXPECT_FALSE(IsWindowVisible(button));
  EXPECT_TRUE(IsWindowVisible(list));
  DestroyWindow(dialog);
}

std::string manifest_text() {
  std::vector<unsigned char> bytes = resource_bytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  return std::string(bytes.begin(), bytes.end());
}

// Per-monitor v2 where Windows knows it, system-DPI aware where it does not.
TEST(Manifest, AsksForAdministratorAndPerMonitorDpiAwareness) {
  std::string manifest = manifest_text();
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
  EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
  EXPECT_NE(manifest.find(">PerMonitorV2</dpiAwareness>"), std::string::npos);
  EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);  // the skin needs no visual styles
}

TEST(Manifest, DeclaresEverySupportedWindowsFromVista) {
  std::string manifest = manifest_text();
  const char* const SYSTEMS[] = {
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
  };
  for (const char* id : SYSTEMS) {
    SCOPED_TRACE(id);
    EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + id + "\"/>"), std::string::npos);
  }
}

std::wstring version_string(std::vector<unsigned char>& block, const wchar_t* name) {
  std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value) return L"<missing>";
  return std::wstring(static_cast<const wchar_t*>(value));
}

TEST(VersionInformation, NamesTheProductItsMakerAndVersion) {
  std::vector<unsigned char> block = resource_bytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
  ASSERT_FALSE(block.empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));

  struct Row {
    const wchar_t* name;
    const wchar_t* value;
  };
  const Row ROWS[] = {
      {L"ProductName", L"Veltrane Plugins"},
      {L"CompanyName", L"Veltrane"},
      {L"FileDescription", L"Veltrane Plugins Setup"},
      {L"FileVersion", L"1.0.0.0"},
      {L"ProductVersion", L"1.0.0.0"},
      {L"OriginalFilename", L"VeltraneSetup.exe"},
      {L"LegalCopyright", L"\u00A9 Veltrane"},  // UTF-8 in the script, one character here
  };
  for (const Row& row : ROWS) {
    SCOPED_TRACE(testing::Message() << "field " << std::string(row.name, row.name + wcslen(row.name)));
    EXPECT_TRUE(version_string(block, row.name) == row.value);
  }
}

}  // namespace
