#include "skin_test_support.h"

#include <cstdio>

HINSTANCE test_instance() { return GetModuleHandleA(nullptr); }

namespace {
// Under Wine on a bare X server, hiding a window that has been active waits two
// seconds for a window manager that is not there (each closed picker popup, each
// test window). Wine leaves unmanaged windows alone; this asks for them, for this
// program only, before its display driver loads and reads the setting.
struct UnmanagedWindowsUnderWine {
  UnmanagedWindowsUnderWine() {
    if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) return;
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = path;
    for (const char* p = path; *p; ++p)
      if (*p == '\\' || *p == '/') name = p + 1;
    std::string key = std::string("Software\\Wine\\AppDefaults\\") + name + "\\X11 Driver";
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) != 0)
      return;
    RegSetValueExA(handle, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegCloseKey(handle);
  }
} unmanaged_windows_under_wine;
}  // namespace

void pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

namespace {
const char WINDOW_CLASS[] = "VeltraneSkinTestWindow";

void register_class() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = test_instance();
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.lpszClassName = WINDOW_CLASS;
  RegisterClassA(&wc);
  registered = true;
}
}  // namespace

TestWindow::TestWindow(int width, int height, int left, int top) {
  register_class();
  hwnd_ = CreateWindowExA(0, WINDOW_CLASS, "skin test", WS_POPUP, left, top, width, height, nullptr, nullptr,
                          test_instance(), nullptr);
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TestWindow::procedure));
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd_);
  pump();
}

TestWindow::~TestWindow() {
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
  pump();
}

void TestWindow::mouse(UINT message, int x, int y, WPARAM keys) {
  PostMessageA(hwnd_, message, keys, MAKELPARAM(x, y));
  pump();
}

LRESULT CALLBACK TestWindow::procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wparam, lparam);
  if (self->on_message) self->on_message(message, wparam, lparam);
  if (self->painter) {
    int result = self->painter->dispatch_mouse(hwnd, message, wparam, lparam);
    if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) self->handled.push_back(result);
    if (result) return 0;
  }
  if (message == WM_USER + 0x100) {
    self->commands.push_back(wparam);
    return 0;
  }
  if (message == WM_PAINT && self->painter && self->painter_paints) {
    self->painter->begin_paint();
    self->painter->paint_all();
    self->painter->end_paint();
    return 0;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

namespace {
BITMAPINFO info_32(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}
COLORREF from_dib(DWORD v) { return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF); }
DWORD to_dib(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
}  // namespace

Pixels capture(HDC dc, const RECT& area) {
  Pixels out;
  out.width = area.right - area.left;
  out.height = area.bottom - area.top;
  BITMAPINFO info = info_32(out.width, out.height);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, out.width, out.height, dc, area.left, area.top, SRCCOPY);
  GdiFlush();
  const DWORD* p = static_cast<const DWORD*>(bits);
  for (int i = 0; i < out.width * out.height; ++i) out.data.push_back(from_dib(p[i]));
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(bitmap);
  return out;
}

std::string first_difference(const Pixels& expected, const Pixels& actual) {
  if (expected.width != actual.width || expected.height != actual.height) return "sizes differ";
  for (int y = 0; y < expected.height; ++y)
    for (int x = 0; x < expected.width; ++x)
      if (expected.at(x, y) != actual.at(x, y)) {
        char text[120];
        std::snprintf(text, sizeof text, "first difference at (%d, %d): expected %06lX, got %06lX", x, y,
                      static_cast<unsigned long>(expected.at(x, y)), static_cast<unsigned long>(actual.at(x, y)));
        return text;
      }
  return "equal";
}

void fill_pattern(HDC dc, const RECT& area, unsigned seed) {
  int width = area.right - area.left, height = area.bottom - area.top;
  std::vector<DWORD> bits(static_cast<size_t>(width) * height);
  unsigned state = seed * 2654435761u + 1;
  for (DWORD& v : bits) {
    state = state * 1103515245u + 12345u;
    v = to_dib(RGB(16 + (state >> 8) % 200, 16 + (state >> 16) % 200, 16 + (state >> 24) % 200));
  }
  BITMAPINFO info = info_32(width, height);
  SetDIBitsToDevice(dc, area.left, area.top, width, height, 0, 0, 0, height, bits.data(), &info, DIB_RGB_COLORS);
}

void fill_colour(HDC dc, const RECT& area, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &area, brush);
  DeleteObject(brush);
}

MemorySurface::MemorySurface(int width, int height) : width_(width), height_(height) {
  BITMAPINFO info = info_32(width, height);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  dc_ = CreateCompatibleDC(nullptr);
  previous_ = static_cast<HBITMAP>(SelectObject(dc_, bitmap_));
}

MemorySurface::~MemorySurface() {
  SelectObject(dc_, previous_);
  DeleteDC(dc_);
  DeleteObject(bitmap_);
}

SkinBitmap make_bitmap(int width, int height, const std::function<COLORREF(int, int)>& pixel) {
  SkinBitmap bitmap;
  HDC screen = GetDC(nullptr);
  bitmap.width = width;
  bitmap.height = height;
  bitmap.bitmap = CreateCompatibleBitmap(screen, width, height);
  bitmap.mem_dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  SelectObject(bitmap.mem_dc, bitmap.bitmap);
  std::vector<DWORD> bits(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bits[y * width + x] = to_dib(pixel(x, y));
  BITMAPINFO info = info_32(width, height);
  SetDIBitsToDevice(bitmap.mem_dc, 0, 0, width, height, 0, 0, 0, height, bits.data(), &info, DIB_RGB_COLORS);
  return bitmap;
}

void free_bitmap(SkinBitmap& bitmap) {
  DeleteDC(bitmap.mem_dc);
  DeleteObject(bitmap.bitmap);
  bitmap = SkinBitmap();
}

int cache_slots_in_use() {
  int used = 0;
  for (int count : bitmap_cache.ref_counts) used += count != 0;
  return used;
}

int cache_slot_of(DWORD id) {
  for (int i = 0; i < BITMAP_CACHE_CAPACITY; ++i)
    if (bitmap_cache.ref_counts[i] && bitmap_cache.ids[i] == id) return i;
  return -1;
}

TestControl::TestControl(ControlHost* owner, std::vector<std::string>* log, std::string name, const char* text)
    : Control(owner, text), log_(log), name_(std::move(name)) {}

int TestControl::on_mouse(HWND, UINT message, WPARAM, LPARAM) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", message);
  if (log_) log_->push_back(name_ + " mouse " + text);
  paint_dc_in_mouse = host->paint_dc;
  if (on_mouse_hook) on_mouse_hook();
  return result;
}

void TestControl::render(HDC dc) {
  if (log_) log_->push_back(name_ + " render");
  ++renders;
  last_dc = dc;
  last_font = GetCurrentObject(dc, OBJ_FONT);
  last_bk_mode = GetBkMode(dc);
}

void TestControl::destroy(int flags) {
  if (log_) log_->push_back(name_ + " destroy " + std::to_string(flags));
  destroy_control(this, flags);
}
