// Reads another process's installer window for the end-to-end tests:
//   window_probe entries TITLE   the drop-down's entries, one per line, "*" before the selected one
//   window_probe client TITLE    the client area's width and height, "383 270"
//   window_probe list-top TITLE  the drop-down's top in client coordinates
//   window_probe message TITLE   a message box's text ("text: ...", line breaks as "|")
//                                and its buttons ("button: Cancel"), one per line
//   window_probe dismiss TITLE   clicks the message box's first button it shows
// Exits with 1 when no visible window (for message and dismiss: no message box) has
// that title.
#include <windows.h>

#include <stdio.h>

#include <string>

namespace {

// Combo-box text crosses process boundaries as UTF-16, whatever the caller asks for.
std::string entry_text(HWND list, int index) {
  LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return "";
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&wide[0]));
  char narrow[1024];
  int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
  return bytes > 0 ? narrow : "";
}

// A window's text, asked with a message so that it crosses process boundaries.
std::string window_text(HWND window) {
  wchar_t wide[2048] = L"";
  SendMessageW(window, WM_GETTEXT, sizeof wide / sizeof wide[0], reinterpret_cast<LPARAM>(wide));
  char narrow[4096];
  int bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
  return bytes > 0 ? narrow : "";
}

struct BoxSearch {
  const char* title;
  HWND box;
};

// The message box shares the installer's title; unlike the installer's window it has
// no folder drop-down.
BOOL CALLBACK find_box(HWND window, LPARAM search_parameter) {
  BoxSearch& search = *reinterpret_cast<BoxSearch*>(search_parameter);
  if (!IsWindowVisible(window) || window_text(window) != search.title || GetDlgItem(window, 1033)) return TRUE;
  search.box = window;
  return FALSE;
}

struct BoxParts {
  std::string text, buttons;
};

BOOL CALLBACK note_part(HWND child, LPARAM parts_parameter) {
  BoxParts& parts = *reinterpret_cast<BoxParts*>(parts_parameter);
  char kind[32] = "";
  GetClassNameA(child, kind, sizeof kind);
  std::string text = window_text(child);
  if (!IsWindowVisible(child)) return TRUE;  // a box may keep the buttons it does not show
  if (lstrcmpiA(kind, "Button") == 0) {
    parts.buttons += "button: " + text + "\n";
  } else if (lstrcmpiA(kind, "Static") == 0 && !text.empty()) {
    parts.text += "text: ";
    for (char c : text)
      if (c != '\n') parts.text += c == '\r' ? '|' : c;
    parts.text += "\n";
  }
  return TRUE;
}

int message_box(const char* what, const char* title) {
  BoxSearch search = {title, nullptr};
  EnumWindows(find_box, reinterpret_cast<LPARAM>(&search));
  if (!search.box) return 1;
  if (lstrcmpA(what, "message") == 0) {
    BoxParts parts;
    EnumChildWindows(search.box, note_part, reinterpret_cast<LPARAM>(&parts));
    printf("%s%s", parts.text.c_str(), parts.buttons.c_str());
    return 0;
  }
  HWND button = FindWindowExA(search.box, nullptr, "Button", nullptr);
  while (button && !IsWindowVisible(button)) button = FindWindowExA(search.box, button, "Button", nullptr);
  if (!button) return 1;
  PostMessageA(button, BM_CLICK, 0, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::string what = argv[1];
  if (what == "message" || what == "dismiss") return message_box(argv[1], argv[2]);
  HWND window = FindWindowA(nullptr, argv[2]);
  if (!window || !IsWindowVisible(window)) return 1;
  HWND list = GetDlgItem(window, 1033);
  if (what == "entries") {
    LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
    for (int i = 0; i < count; ++i) printf("%s%s\n", i == selected ? "*" : "", entry_text(list, i).c_str());
  } else if (what == "client") {
    RECT client;
    GetClientRect(window, &client);
    printf("%ld %ld\n", client.right, client.bottom);
  } else if (what == "list-top") {
    RECT area;
    GetWindowRect(list, &area);
    POINT corner = {area.left, area.top};
    ScreenToClient(window, &corner);
    printf("%ld\n", corner.y);
  } else {
    return 2;
  }
  return 0;
}
