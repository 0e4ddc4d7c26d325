// Reads another process's installer window for the end-to-end tests:
//   window_probe entries TITLE   the drop-down's entries, one per line, "*" before the selected one
//   window_probe client TITLE    the client area's width and height, "383 270"
//   window_probe list-top TITLE  the drop-down's top in client coordinates
// Exits with 1 when no visible window has that title.
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::string what = argv[1];
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
