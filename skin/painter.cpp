#include "painter.h"

#include "blit.h"
#include "bounded_text.h"
#include "control.h"

namespace {
constexpr char BITMAP_SANS_SERIF[] = "MS Sans Serif";
constexpr char TRUETYPE_SANS_SERIF[] = "Microsoft Sans Serif";
}  // namespace

SkinPainter::SkinPainter(ControlHost* owner, HINSTANCE instance) : host(owner), paint(), extent() {
  host->instance = instance;
  host->count = 0;
  host->background = nullptr;
  host->paint_dc = nullptr;
  host->back_dc = nullptr;
  host->focused = nullptr;
  host->focus_cues = 0;
}

void SkinPainter::attach(HWND window, DWORD background_id, WORD cursor_id, const RECT* status) {
  host->window = window;
  refresh_skin_colours();
  set_dpi(window_dpi(window));
  if (!normal_font) normal_font = make_font(BITMAP_SANS_SERIF, 13, 0);
  if (!underline_font) underline_font = make_font(BITMAP_SANS_SERIF, 13, 1);
  if (!link_cursor) link_cursor = LoadCursorA(host->instance, MAKEINTRESOURCEA(cursor_id));
  host->status_rect = status ? *status : RECT{0, 0, 0, 0};
  create_back_buffer(window);
  // Loaded against the owner's DC when it has set one, else a temporary window DC.
  if (host->paint_dc) {
    host->background = new SkinBitmap(host->instance, host->paint_dc, background_id);
  } else {
    WindowDc dc(window);
    host->background = new SkinBitmap(host->instance, dc.get(), background_id);
  }
}

HFONT SkinPainter::make_font(const char* face, int height, int underline) {
  LOGFONTA font = {};
  font.lfHeight = to_device(height);
  font.lfUnderline = static_cast<BYTE>(underline);
  // A bitmap font has no sizes for other DPIs: scaled, its letters would be blocky.
  bool truetype = current_dpi() != BASE_DPI && !lstrcmpiA(face, BITMAP_SANS_SERIF);
  copy_text(font.lfFaceName, truetype ? TRUETYPE_SANS_SERIF : face);
  return CreateFontIndirectA(&font);
}

void SkinPainter::set_dpi(int dpi) {
  int previous = current_dpi();
  skin_dpi = dpi;
  if (dpi == previous) return;
  back_buffer.reset();  // it holds normal_font selected
  host->back_dc = nullptr;
  back_bitmap.reset();
  if (normal_font) DeleteObject(normal_font);
  if (underline_font) DeleteObject(underline_font);
  normal_font = make_font(BITMAP_SANS_SERIF, 13, 0);
  underline_font = make_font(BITMAP_SANS_SERIF, 13, 1);
  bitmap_cache.rescale_all();
}

void SkinPainter::create_back_buffer(HWND window) {
  GetWindowRect(window, &extent);
  POINT corner = {extent.right, extent.bottom};
  ScreenToClient(window, &corner);
  extent = {0, 0, corner.x, corner.y};
  WindowDc window_dc(window);
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof(header);
  header.biWidth = extent.right;
  header.biHeight = -extent.bottom;  // top-down
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  back_buffer.reset();  // a DC of its own before the bitmap it holds selected goes
  back_bitmap.reset(CreateDIBitmap(window_dc.get(), &header, 0, nullptr, nullptr, DIB_RGB_COLORS));
  back_buffer.reset(CreateCompatibleDC(window_dc.get()));
  host->back_dc = back_buffer.get();
  SelectObject(host->back_dc, back_bitmap.get());
  if (normal_font) SelectObject(host->back_dc, normal_font);
  prepare_text_colours(host->back_dc);
}

HDC SkinPainter::begin_paint() {
  Sleep(50);  // lets a closing drop-down finish before the dialog repaints under it
  BeginPaint(host->window, &paint);
  // Drawing goes to a DC of its own, not clipped to the update region.
  host->paint_dc = GetDC(host->window);
  prepare_window_dc(host->paint_dc);
  return host->paint_dc;
}

void SkinPainter::paint_all() {
  if (host->background) tile_bitmap(host->background, host->paint_dc, paint.rcPaint);
  for (int i = 0; i < host->count; ++i)
    if (host->controls[i]->visible) host->controls[i]->render(host->paint_dc);
  draw_focus_cue(host, host->paint_dc);
}

void SkinPainter::draw_text(int x, int y, const char* text) {
  if (host->paint_dc) text_at(host->paint_dc, x, y, text);
}

void SkinPainter::end_paint() {
  ReleaseDC(host->window, host->paint_dc);
  host->paint_dc = nullptr;
  EndPaint(host->window, &paint);
}

// The controls see the point in 96-DPI pixels, each coordinate taken unsigned.
int SkinPainter::dispatch_mouse(HWND window, UINT message, WPARAM wparam, LPARAM device_point) {
  UINT low = message & 0xFFFF;
  if (low < WM_MOUSEFIRST || low > WM_MBUTTONDBLCLK || host->count <= 0) return 0;
  LPARAM lparam = MAKELPARAM(to_logical(LOWORD(device_point)), to_logical(HIWORD(device_point)));
  WindowDc dc(window);
  host->paint_dc = dc.get();
  prepare_window_dc(host->paint_dc);
  int handled = 0;
  for (int i = 0; i < host->count && !handled; ++i)  // count read afresh: a handler may add controls
    if (host->controls[i]->interactive) handled = host->controls[i]->on_mouse(window, message, wparam, lparam) != 0;
  host->paint_dc = nullptr;
  return handled;
}

SkinPainter::~SkinPainter() {
  if (host->background) {
    bitmap_cache.release(host->background);
    delete host->background;
    host->background = nullptr;
  }
  back_buffer.reset();  // before its bitmap, which it still holds selected
  host->back_dc = nullptr;
  back_bitmap.reset();
  for (int i = 0; i < host->count; ++i)
    if (host->controls[i]) host->controls[i]->destroy(1);
  host->count = 0;  // the table no longer points at anything alive
}
