// The dialog for the keyboard and on a screen of another DPI: Space and Enter on the
// focus holders, laying itself out again when Windows reports a new DPI, and what
// accessibility tools are told. (The tab order and the focus cue are proven end to
// end, keyboard_access.sh.)
#include <oleacc.h>

#include "app_state.h"
#include "dialog_fixture.h"
#include "installer_dialog.h"
#include "keyboard_access.h"
#include "skin_scale.h"
#include "skin_test_support.h"  // pump(), capture()
#include "state_selector.h"

namespace {

HWND holder_of(int slot) { return installer_dialog.dialog_controls[slot]->focus_holder; }

Pixels client_pixels(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  HDC dc = GetDC(window);
  Pixels pixels = capture(dc, client);
  ReleaseDC(window, dc);
  return pixels;
}

// The window rectangle Windows would suggest: the same corner, the client area at `dpi`.
RECT suggested_for(HWND window, int dpi) {
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  RECT suggested = outer;
  suggested.right = outer.left + outer.right - outer.left - client.right + MulDiv(383, dpi, 96);
  suggested.bottom = outer.top + outer.bottom - outer.top - client.bottom + MulDiv(270, dpi, 96);
  return suggested;
}

void change_dpi(HWND window, int dpi) {
  RECT suggested = suggested_for(window, dpi);
  SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  pump();
}

}  // namespace

// Space presses and releases as the mouse does; Enter is wanted by buttons and the
// link only, so that elsewhere it keeps installing.
TEST_F(DialogTest, SpaceClicksTheSelectorAndEnterIsWantedByButtonsAndTheLinkOnly) {
  seed_candidates({"Host"});
  open();
  HWND selector = holder_of(FIRST_SELECTOR_SLOT);
  SendMessageA(selector, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(static_cast<StateSelector*>(installer_dialog.dialog_controls[FIRST_SELECTOR_SLOT])->value, 3);
  SendMessageA(selector, WM_KEYUP, VK_SPACE, 0);
  pump();
  EXPECT_EQ(visible_slots(), "0 2 3 4");
  EXPECT_FALSE(IsWindowVisible(holder_of(SLOT_INSTALL)));  // out of the tab order with its button

  MSG enter = {};
  enter.message = WM_KEYDOWN;
  enter.wParam = VK_RETURN;
  struct Row {
    int slot;
    LRESULT code;
  } rows[] = {{SLOT_EXIT, DLGC_WANTMESSAGE}, {SLOT_LINK, DLGC_WANTMESSAGE}, {FIRST_SELECTOR_SLOT, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.slot);
    EXPECT_EQ(SendMessageA(holder_of(row.slot), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)), row.code);
  }
  SendMessageA(selector, WM_KEYDOWN, VK_SPACE, 0);  // on again, then Space on Install installs
  SendMessageA(selector, WM_KEYUP, VK_SPACE, 0);
  pump();
  SendMessageA(holder_of(SLOT_INSTALL), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageA(holder_of(SLOT_INSTALL), WM_KEYUP, VK_SPACE, 0);
  pump();
  EXPECT_EQ(installer_dialog.installed, 1);
  SendMessageA(holder_of(SLOT_FINISH), WM_KEYDOWN, VK_RETURN, 0);
  pump();
  EXPECT_FALSE(IsWindowVisible(window));
}

// WM_DPICHANGED: the suggested rectangle, everything laid out at the new DPI (the
// artwork doubled, clicks at doubled places), and at 96 again every pixel as before.
TEST_F(DialogTest, AtAnotherDpiTheDialogLaysItselfOutAgainAndBackAt96AsBefore) {
  seed_candidates({"Host"});
  open();
  Pixels at_96 = client_pixels(window);
  LRESULT template_font = SendDlgItemMessageA(window, 1033, WM_GETFONT, 0, 0);
  change_dpi(window, 192);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 766);
  EXPECT_EQ(client.bottom, 540);
  RECT list = client_rect_of(1033);
  EXPECT_EQ(list.left, 12);
  EXPECT_EQ(list.top, 420);
  EXPECT_EQ(list.right - list.left, 746);
  Pixels at_192 = client_pixels(window);
  for (int y = 60; y < 216; ++y)  // the logo below the link
    for (int x = 8; x < 348; ++x) ASSERT_EQ(at_192.at(x, y), at_96.at(x / 2, y / 2)) << x << ", " << y;
  click({AT_SELECTOR.x * 2, AT_SELECTOR.y * 2});
  EXPECT_EQ(visible_slots(), "0 2 3 4");
  click({AT_SELECTOR.x * 2 + 4, AT_SELECTOR.y * 2 + 4});
  EXPECT_EQ(visible_slots(), "0 1 2 3 4");
  change_dpi(window, 96);
  // Whatever fonts the machine has, the list is back in the dialog manager's own.
  EXPECT_EQ(SendDlgItemMessageA(window, 1033, WM_GETFONT, 0, 0), template_font);
  EXPECT_TRUE(client_pixels(window) == at_96) << first_difference(at_96, client_pixels(window));
}

// Another program can send WM_DPICHANGED with anything: only what Windows could send
// is taken (the same DPI across and down, 48 to 960, a rectangle inside the virtual
// screen, handed over on the stack).
TEST_F(DialogTest, ADpiChangeWindowsCouldNotHaveSentChangesNothing) {
  open();
  RECT before, now, screen;
  GetWindowRect(window, &before);
  SetRect(&screen, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0);
  screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  RECT left_out = screen, bottom_out = screen, inverted = {screen.right, screen.top, screen.left, screen.bottom};
  --left_out.left;
  ++bottom_out.bottom;
  static RECT off_the_stack;
  off_the_stack = screen;
  struct Row {
    WPARAM dpis;
    const RECT* suggested;
  } rows[] = {{MAKEWPARAM(192, 144), &screen},    {MAKEWPARAM(47, 47), &screen},
              {MAKEWPARAM(961, 961), &screen},    {0x7FFF7FFF, &screen},
              {MAKEWPARAM(192, 192), &left_out},  {MAKEWPARAM(192, 192), &bottom_out},
              {MAKEWPARAM(192, 192), &inverted},  {MAKEWPARAM(192, 192), nullptr},
              {MAKEWPARAM(192, 192), &off_the_stack}};
  for (const Row& row : rows) {
    SCOPED_TRACE(&row - rows);
    SendMessageA(window, WM_DPICHANGED, row.dpis, reinterpret_cast<LPARAM>(row.suggested));
    ASSERT_EQ(current_dpi(), 96);
    GetWindowRect(window, &now);
    EXPECT_TRUE(EqualRect(&now, &before));
  }
  SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&screen));
  EXPECT_EQ(current_dpi(), 192);  // the whole virtual screen is inside it
  change_dpi(window, 96);
}

// A held Enter acts on its first press only: its repeats (lParam bit 30) click no
// control and reach no default Enter, which the dialog manager gives the folder list.
TEST_F(DialogTest, AHeldEnterActsOnItsFirstPressOnly) {
  seed_candidates({"Host"});
  open();
  MSG key = {GetDlgItem(window, 1033), WM_KEYDOWN, VK_RETURN, KEY_REPEATED | 1, 0, {0, 0}};
  IsDialogMessageA(window, &key);
  SendMessageA(holder_of(SLOT_INSTALL), WM_KEYDOWN, VK_RETURN, KEY_REPEATED | 1);
  pump();
  EXPECT_EQ(installer_dialog.installed, 0);
  key.lParam = 1;
  IsDialogMessageA(window, &key);
  pump();
  EXPECT_EQ(installer_dialog.installed, 1);
}

// The client object's parent is the window's own object, and it has no children
// beyond its rows.
TEST_F(DialogTest, TheAccessibleObjectsParentIsTheWindowAndOnlyItsRowsAreChildren) {
  open();
  IAccessible* object = nullptr;
  LRESULT answer = SendMessageA(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  ASSERT_EQ(ObjectFromLresult(answer, __uuidof(IAccessible), 0, reinterpret_cast<void**>(&object)), S_OK);
  IDispatch* parent = nullptr;
  IOleWindow* window_object = nullptr;
  HWND parent_window = nullptr;
  ASSERT_EQ(object->get_accParent(&parent), S_OK);
  ASSERT_EQ(parent->QueryInterface(__uuidof(IOleWindow), reinterpret_cast<void**>(&window_object)), S_OK);
  EXPECT_EQ(window_object->GetWindow(&parent_window), S_OK);
  EXPECT_EQ(parent_window, window);
  window_object->Release();
  parent->Release();
  VARIANT child;
  child.vt = VT_I4;
  LONG count = 0;
  object->get_accChildCount(&count);
  for (LONG id : {-1L, 0L, 1L, count, count + 1}) {
    SCOPED_TRACE(id);
    child.lVal = id;
    EXPECT_EQ(object->get_accChild(child, &parent), id >= 1 && id <= count ? S_FALSE : E_INVALIDARG);
  }
  object->Release();
}

namespace {

struct Announced {
  DWORD event;
  HWND window;
  LONG object, child;
};
std::vector<Announced> announced;
void CALLBACK record_event(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  announced.push_back({event, window, object, child});
}

}  // namespace

// Accessibility tools hear of the focus and of the check box's state, each for the
// child of the dialog's client object that a screen reader lists in that place.
TEST_F(DialogTest, FocusAndCheckBoxChangesAreAnnouncedForTheirChild) {
  seed_candidates({"Host"});
  open();
  announced.clear();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, nullptr, record_event,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  HWND selector = holder_of(FIRST_SELECTOR_SLOT);
  SetFocus(selector);
  SendMessageA(selector, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageA(selector, WM_KEYUP, VK_SPACE, 0);
  pump();
  UnhookWinEvent(hook);
  auto heard = [](DWORD event, LONG child) {
    for (const Announced& a : announced)
      if (a.event == event && a.object == OBJID_CLIENT && a.child == child) return true;
    return false;
  };
  EXPECT_TRUE(heard(EVENT_OBJECT_FOCUS, 1));        // the selector is the first child
  EXPECT_TRUE(heard(EVENT_OBJECT_STATECHANGE, 1));
  EXPECT_FALSE(heard(EVENT_OBJECT_FOCUS, 4));       // Install was not focused
}
