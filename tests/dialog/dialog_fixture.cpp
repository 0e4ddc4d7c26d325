#include "dialog_fixture.h"

#include <shlobj.h>
#include <commctrl.h>

#include "app_state.h"
#include "candidate_list.h"
#include "installer_dialog.h"
#include "resource_ids.h"
#include "carried_plugins.h"
#include "skin_test_support.h"  // pump(); unmanaged windows under Wine

const char DEMO[] = "TESSORA__ONDEL__DEMO.8BF";

static DWORD append_to_string(void* text, const unsigned char* bytes, DWORD size) {
  static_cast<std::string*>(text)->append(reinterpret_cast<const char*>(bytes), size);
  return ERROR_SUCCESS;
}

std::string carried(const char* name) {
  CarriedFile file;
  CarriedStream stream = {};
  std::string bytes;
  if (load_carried_file(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(PAYLOAD_TYPE), name, file, stream) != ERROR_SUCCESS ||
      unpack_carried_file(file, append_to_string, &bytes) != ERROR_SUCCESS)
    bytes.clear();
  close_carried_stream(stream);
  return bytes;
}

namespace {

BOOL CALLBACK add_text(HWND window, LPARAM texts) {
  char text[4096] = "";
  GetWindowTextA(window, text, sizeof text);
  *reinterpret_cast<std::string*>(texts) += std::string(text) + "\n";
  return TRUE;
}

struct ModalSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK match_modal(HWND window, LPARAM search_parameter) {
  ModalSearch* search = reinterpret_cast<ModalSearch*>(search_parameter);
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  if (GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window) || lstrcmpA(name, "#32770"))
    return TRUE;
  search->found = window;
  return FALSE;
}

ModalDriver* current_driver = nullptr;

}  // namespace

std::string window_texts(HWND window) {
  std::string texts;
  add_text(window, reinterpret_cast<LPARAM>(&texts));
  EnumChildWindows(window, add_text, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

ModalDriver::ModalDriver(HWND owner) : owner_(owner), timer_(SetTimer(nullptr, 0, 10, tick)) { current_driver = this; }

ModalDriver::~ModalDriver() {
  KillTimer(nullptr, timer_);
  current_driver = nullptr;
}

ModalDriver& ModalDriver::then(Action action) {
  actions_.push_back(std::move(action));
  return *this;
}

// A window is acted on from the tick after the one that found it, and its texts are
// recorded once an action is done with it (or it is cancelled), when it is ready.
void CALLBACK ModalDriver::tick(HWND, UINT, UINT_PTR, DWORD) {
  ModalDriver* driver = current_driver;
  if (!driver) return;
  ModalSearch search = {driver->owner_, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), match_modal, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;
  if (search.found != driver->last_) {
    driver->last_ = search.found;
    driver->acting_ = true;
    driver->ticks_ = 0;
    return;
  }
  if (!driver->acting_) return;  // closing
  bool out_of_time = ++driver->ticks_ > 500;  // about five seconds: fail rather than hang
  if (!driver->actions_.empty() && !out_of_time && !driver->actions_.front()(search.found)) return;  // next tick
  driver->seen.push_back(window_texts(search.found));
  driver->acting_ = false;
  if (out_of_time) ADD_FAILURE() << "the modal window never became ready: " << driver->seen.back();
  if (driver->actions_.empty() || out_of_time) PostMessageA(search.found, WM_COMMAND, IDCANCEL, 0);
  if (!driver->actions_.empty()) driver->actions_.pop_front();
}

namespace {

// The text of the folder browser's selected item: the folder's name, or for a
// drive root a label ending in "(C:)".
std::string selected_in_browser(HWND browser) {
  HWND tree_view = FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
  char text[MAX_PATH] = "";
  TVITEMA item = {};
  item.mask = TVIF_TEXT;
  item.hItem = reinterpret_cast<HTREEITEM>(SendMessageA(tree_view, TVM_GETNEXTITEM, TVGN_CARET, 0));
  item.pszText = text;
  item.cchTextMax = sizeof text;
  if (!item.hItem || !SendMessageA(tree_view, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return "";
  return text;
}

bool names_folder(const std::string& shown, const std::string& folder) {
  if (folder.back() == '\\') return shown.find("(" + folder.substr(0, 2) + ")") != std::string::npos;
  return shown == folder.substr(folder.rfind('\\') + 1);
}

}  // namespace

// The browser may fill its tree after it is shown; until then a selection finds
// nothing to select, and the browser would return another folder.
ModalDriver::Action pick_folder(const std::string& folder) {
  return [folder](HWND browser) {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    if (!names_folder(selected_in_browser(browser), folder)) return false;
    PostMessageA(browser, WM_COMMAND, IDOK, 0);
    return true;
  };
}

ModalDriver::Action press(int button) {
  return [button](HWND modal) {
    EXPECT_TRUE(GetDlgItem(modal, button)) << "no button " << button;
    PostMessageA(modal, WM_COMMAND, button, 0);
    return true;
  };
}

void DialogTest::SetUp() {
  reset_program_tables();
  installer_dialog = InstallerDialog();
  chosen_folder[0] = '\0';
  instance_handle = GetModuleHandleA(nullptr);
}

void DialogTest::seed_candidates(const std::vector<std::string>& relatives) {
  for (size_t i = 0; i < relatives.size(); ++i)
    seed.sz(HKEY_CURRENT_USER, "Software\\Veltrane\\DialogTests", "Plugins" + std::to_string(i),
            tree.make_folder(relatives[i]));
}

void DialogTest::open() {
  skin_painter = new SkinPainter(&control_host, instance_handle);
  window = CreateDialogParamA(instance_handle, MAIN_DIALOG_NAME, nullptr, installer_dialog_proc, 0);
  ASSERT_TRUE(window);
  ShowWindow(window, SW_SHOW);
  pump();
}

void DialogTest::close() {
  if (window) DestroyWindow(window);
  window = nullptr;
  delete skin_painter;
  skin_painter = nullptr;
  if (normal_font) DeleteObject(normal_font);  // the completed state makes a larger one
  normal_font = nullptr;
  reset_candidate_list();
  SetCurrentDirectoryA("C:\\");
}

void DialogTest::click(POINT at) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  pump();
}

void DialogTest::command(WPARAM id) {
  SendMessageA(window, WM_COMMAND, id, 0);
  pump();
}

void DialogTest::choose(int index) {
  HWND list = GetDlgItem(window, 1033);
  SendMessageA(list, CB_SETCURSEL, index, 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(1033, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  pump();
}

std::vector<std::string> DialogTest::entries() const {
  HWND list = GetDlgItem(window, 1033);
  std::vector<std::string> texts;
  LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[PATH_CAPACITY] = "";
    SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    texts.push_back(text);
  }
  return texts;
}

int DialogTest::selected() const {
  return static_cast<int>(SendDlgItemMessageA(window, 1033, CB_GETCURSEL, 0, 0));
}

std::string DialogTest::visible_slots() const {
  std::string slots;
  for (int i = 0; i < DIALOG_CONTROL_SLOTS; ++i) {
    Control* control = installer_dialog.dialog_controls[i];
    if (control && control->visible) slots += (slots.empty() ? "" : " ") + std::to_string(i);
  }
  return slots;
}

RECT DialogTest::client_rect_of(int id) const {
  RECT rect = {};
  GetWindowRect(GetDlgItem(window, id), &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}
