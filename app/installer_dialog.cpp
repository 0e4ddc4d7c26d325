#include "installer_dialog.h"

#include "app_state.h"
#include "bitmap_button.h"
#include "candidate_list.h"
#include "carried_plugins.h"
#include "current_directory.h"
#include "dialog_layout.h"
#include "failure_message.h"
#include "install_run.h"
#include "installer_commands.h"
#include "keyboard_access.h"
#include "skin_accessible.h"
#include "link_label.h"
#include "maker_page.h"
#include "painter.h"
#include "path_helpers.h"
#include "probe_sequence.h"
#include "resource_ids.h"
#include "skin_scale.h"
#include "state_selector.h"

InstallerDialog installer_dialog;

namespace {

struct TextLine {
  int x, y;
  const char* text;
};
const TextLine CHOOSING_LINES[] = {{6, 190, "Setup will install Veltrane Plugins to the folder:"}};
const TextLine COMPLETED_LINES[] = {
    {20, 50, "Installation completed. In some cases you have to"},
    {20, 67, "restart your image editor to activate the filters installed."},
    {20, 84, "Filter category name is \"Veltrane\". Do not forget to"},
    {20, 101, "install addition textures and presets."},
};

Control*& slot(int index) { return installer_dialog.dialog_controls[index]; }


// A rectangle stored field by field: the compiler copies a braced constant out of
// writable data, and that section alone would take half a kilobyte of the program.
RECT rect_of(LONG left, LONG top, LONG right, LONG bottom) {
  RECT rect;
  rect.left = left;
  rect.top = top;
  rect.right = right;
  rect.bottom = bottom;
  return rect;
}

HWND folder_list(HWND window) { return GetDlgItem(window, CONTROL_FOLDER_LIST); }

BitmapButton* make_button(int left, int top, DWORD image, int command) {
  return new BitmapButton(&control_host, rect_of(left, top, left, top), image, image, command, "", nullptr, nullptr);
}

void create_controls() {
  for (Control*& control : installer_dialog.dialog_controls) control = nullptr;
  slot(SLOT_EXIT) = make_button(319, 240, BITMAP_CANCEL_FACE, CMD_CLOSE);
  slot(SLOT_INSTALL) = make_button(249, 240, BITMAP_INSTALL_FACE, CMD_INSTALL);
  slot(SLOT_PICTURE) = make_button(4, 2, BITMAP_MAKER_LOGO, 1);
  if (slot(SLOT_PICTURE)) slot(SLOT_PICTURE)->interactive = 0;  // a picture, not a button
  slot(SLOT_LINK) = new LinkLabel(&control_host, rect_of(96, 14, 96, 14), MAKER_ADDRESS, CMD_OPEN_PAGE,
                                  "Visit Veltrane Plugins Home Page");
  StateSelector* selector =
      new StateSelector(&control_host, rect_of(230, 10, 250, 22), BITMAP_CHECKBOX_STRIP, 0x80148000, "Tessora Ondel demo", 0,
                        -3, "Select to install Tessora Ondel filter", CMD_SELECTOR, 0, "Ondel");
  if (selector) selector->value = 2;  // starts switched on
  slot(FIRST_SELECTOR_SLOT) = selector;
  slot(SLOT_FINISH) = make_button(161, 210, BITMAP_ENJOY_FACE, CMD_CLOSE);
  if (slot(SLOT_FINISH)) slot(SLOT_FINISH)->set_visible(0);
}

void fill_browse_info(HWND window) {
  BROWSEINFOA& info = installer_dialog.browse_info;
  info = BROWSEINFOA();
  info.hwndOwner = window;
  info.pszDisplayName = installer_dialog.work_path;
  info.lpszTitle = "Please Select Your Plug-Ins Folder";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
}

// Inserts a browsed (or preset) folder directly before the browse entry, replacing
// the one browsed before, and selects it.
void list_browsed_folder(HWND window, const char* folder) {
  HWND list = folder_list(window);
  int index = installer_dialog.candidate_count;
  if (installer_dialog.browse_entry_present) SendMessageA(list, CB_DELETESTRING, index, 0);
  SendMessageA(list, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(folder));
  SendMessageA(list, CB_SETCURSEL, index, 0);
  installer_dialog.browse_entry_present = 1;
}

void fill_folder_list(HWND window) {
  HWND list = folder_list(window);
  int listed = 0;
  for (int i = 0; i < CANDIDATE_CAPACITY && candidate_list.entries[i].path[0]; ++i) {
    if (!format_listed_entry(candidate_list.entries[i], installer_dialog.work_path)) continue;
    LRESULT at = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(installer_dialog.work_path));
    SendMessageA(list, CB_SETITEMDATA, at, i);  // the candidate behind the entry, for its architecture
    ++listed;
  }
  SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(BROWSE_ENTRY));
  installer_dialog.candidate_count = listed;
  installer_dialog.browse_entry_present = 0;
  SendMessageA(list, CB_SETCURSEL, 0, 0);
  if (installer_dialog.preset_folder[0]) list_browsed_folder(window, installer_dialog.preset_folder);
}

// The completion screen's lines as one text, for a screen reader.
const char* completion_text() {
  static char text[256];  // static: the caller reads it after the call
  text[0] = '\0';
  for (const TextLine& line : COMPLETED_LINES) {
    if (text[0]) append_text(text, " ");
    append_text(text, line.text);
  }
  return text;
}

// The skin controls a keyboard reaches, in the order Tab takes them after the folder
// list (which keeps the first focus, as before), with the names they are told by
// ("": their own text). The selectors' slots stand for all of them.
struct Reachable {
  int slot;
  const char* name;
};
constexpr int ALL_SELECTORS = -1;
enum ReachableIndex { AT_INSTALL, AT_CANCEL, AT_SELECTORS, AT_LINK, AT_ENJOY, REACHABLE_COUNT };
const Reachable REACHABLE[REACHABLE_COUNT] = {
    {SLOT_INSTALL, "Install"}, {SLOT_EXIT, "Cancel"}, {ALL_SELECTORS, ""}, {SLOT_LINK, ""}, {SLOT_FINISH, "Enjoy"},
};

// Calls `add` for each skin control of REACHABLE[first .. end).
void for_reachable(int first, int end, void (*add)(HWND, Control*, const char*), HWND window) {
  for (int i = first; i < end; ++i) {
    const Reachable& reachable = REACHABLE[i];
    if (reachable.slot != ALL_SELECTORS) add(window, slot(reachable.slot), reachable.name);
    else
      for (int s = FIRST_SELECTOR_SLOT; s <= LAST_SELECTOR_SLOT; ++s) add(window, slot(s), reachable.name);
  }
}

void add_row(HWND, Control* control, const char* name) { add_control_row(control, name); }

// Holders of hidden controls sit out.
void add_focus_holders(HWND window) {
  for_reachable(AT_INSTALL, REACHABLE_COUNT, add_focus_holder, window);
  sync_focus_holders(&control_host);
}

// What a screen reader meets on the screen the dialog shows, in reading order: the
// same order, from the selectors on, with the folder list between the link and
// Install; the completion screen's text, link and Enjoy.
void describe_screen(HWND window) {
  begin_access_rows(window, DIALOG_TITLE);
  if (installer_dialog.installed) {
    add_text_row(completion_text(), rect_of(20, 50, CLIENT_WIDTH, 117));
    for_reachable(AT_LINK, REACHABLE_COUNT, add_row, window);
    return;
  }
  for_reachable(AT_SELECTORS, AT_ENJOY, add_row, window);
  add_window_row(folder_list(window), ROLE_COMBO_BOX, CHOOSING_LINES[0].text);  // the line above it names it
  for_reachable(AT_INSTALL, AT_SELECTORS, add_row, window);
}

// A held Enter repeats its press, and each repeat would act again (install once
// more, answer Retry on the next failure box): the dialog's message loop, and those
// of the boxes it opens, pass only its first press on.
LRESULT CALLBACK pass_first_enter(int code, WPARAM wparam, LPARAM lparam) {
  const MSG* message = reinterpret_cast<const MSG*>(lparam);
  if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && message->wParam == VK_RETURN &&
      (message->lParam & KEY_REPEATED))
    return 1;
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

INT_PTR on_init_dialog(HWND window) {
  installer_dialog.installed = 0;
  installer_dialog.enter_filter = SetWindowsHookExA(WH_MSGFILTER, pass_first_enter, nullptr, GetCurrentThreadId());
  // The bitmaps the controls load are made against the window's own DC.
  control_host.paint_dc = GetDC(window);
  RECT status = rect_of(6, 242, 249, 262);  // the status line
  skin_painter->attach(window, BITMAP_PAPER_TILE, CURSOR_LINK_HAND, &status);
  create_controls();
  fill_browse_info(window);
  run_probe_sequence();
  log_candidate_folders();
  fill_folder_list(window);
  SendMessageA(GetDlgItem(window, CONTROL_HIDDEN_BUTTON), BM_CLICK, 0, 0);
  ReleaseDC(window, control_host.paint_dc);
  control_host.paint_dc = nullptr;
  SetWindowTextA(window, DIALOG_TITLE);
  keep_dialog_unscaled(window);
  place_folder_list(window, LIST_TOP_CHOOSING);
  // At 96 DPI the dialog manager centred the template already; at another its
  // template, scaled by its font, may have been too tall to centre.
  size_client_area(window, current_dpi() != BASE_DPI);
  add_focus_holders(window);
  describe_screen(window);
  return 0;  // no default focus
}

void draw_lines(const TextLine* lines, size_t count) {
  for (size_t i = 0; i < count; ++i) skin_painter->draw_text(lines[i].x, lines[i].y, lines[i].text);
}

INT_PTR on_paint() {
  skin_painter->begin_paint();
  skin_painter->paint_all();
  if (installer_dialog.installed)
    draw_lines(COMPLETED_LINES, sizeof COMPLETED_LINES / sizeof COMPLETED_LINES[0]);
  else
    draw_lines(CHOOSING_LINES, sizeof CHOOSING_LINES / sizeof CHOOSING_LINES[0]);
  skin_painter->end_paint();
  return 0;
}

int selector_sum() {
  int sum = 0;
  for (int i = FIRST_SELECTOR_SLOT; i <= LAST_SELECTOR_SLOT; ++i)
    if (slot(i)) sum += static_cast<StateSelector*>(slot(i))->value;
  return sum;
}

// The install button is present exactly while at least one selector is on.
void on_selector_changed(HWND window) {
  BitmapButton* install = static_cast<BitmapButton*>(slot(SLOT_INSTALL));
  if (!install) return;
  if (selector_sum() != 0) {
    if (!install->visible) install->set_visible(1);
    return;
  }
  if (install->visible) install->set_visible(0);
  RECT area = to_device(install->rect);
  InvalidateRect(window, &area, TRUE);
}

// Copies the selected entry into chosen_folder; 0 when there is none or it is too long.
int read_selected_folder(HWND window) {
  HWND list = folder_list(window);
  LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
  LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, index, 0);
  if (index == CB_ERR || length == CB_ERR || length >= PATH_CAPACITY) return 0;
  SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(chosen_folder));
  return 1;
}

// The host architecture of the selected entry: a listed folder's own, otherwise
// (a browsed or preset folder) what target_architecture finds for it.
HostArchitecture selected_architecture(HWND window) {
  HWND list = folder_list(window);
  LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
  if (index != CB_ERR && index < installer_dialog.candidate_count) {
    LRESULT candidate = SendMessageA(list, CB_GETITEMDATA, index, 0);
    if (candidate >= 0 && candidate < CANDIDATE_CAPACITY) return candidate_list.entries[candidate].host;
  }
  return target_architecture(chosen_folder);
}

// The installer carries nothing its host can load: says so and leaves the dialog as it was.
void refuse_folder(HWND window, Architecture host) {
  static char message[FAILURE_MESSAGE_CAPACITY];  // static: over the 4,000-byte frame limit
  compose_no_build_message(instance_handle, chosen_folder, host, message);
  log_no_build_for(chosen_folder, host);
  MessageBoxA(window, message, DIALOG_TITLE, MB_OK | MB_ICONWARNING);
}

// One attempt: the skip list from the selectors as they stand now, then the writes,
// then Retry as often as the user asks (a damaged installer offers no Retry). 1 when
// everything was written.
int write_plugins(HWND window, Architecture set) {
  clear_skip_list(skip_list);
  for (int i = FIRST_SELECTOR_SLOT; i <= LAST_SELECTOR_SLOT; ++i) {
    StateSelector* selector = static_cast<StateSelector*>(slot(i));
    if (selector && selector->value == 0) add_skip_key(skip_list, selector->key);
  }
  const InstallTarget target = {instance_handle, chosen_folder, set, &skip_list, &run_log};
  PayloadFailures& failures = installer_dialog.failures;
  int failed = install_payloads(target, failures);
  while (failed) {
    static char message[FAILURE_MESSAGE_CAPACITY];  // static: over the 4,000-byte frame limit
    compose_failure_message(chosen_folder, failures, message);
    if (show_failure_message(window, DIALOG_TITLE, message, failures) != IDRETRY) {
      log_line(run_log, "result: not installed, the user chose Cancel");
      return 0;
    }
    failed = retry_failed_payloads(target, failures);
  }
  return 1;
}

void enter_completed_state(HWND window) {
  installer_dialog.installed = 1;
  for (int i = 0; i <= LAST_SELECTOR_SLOT; ++i)
    if (slot(i)) slot(i)->set_visible(0);
  if (slot(SLOT_LINK)) slot(SLOT_LINK)->set_visible(1);
  if (slot(SLOT_FINISH)) slot(SLOT_FINISH)->set_visible(1);
  place_folder_list(window, LIST_TOP_COMPLETED);
  // Out of sight, the list leaves the tab order too; a focus in the dialog (the
  // thread's only window) goes to Enjoy.
  HWND list = folder_list(window);
  SetWindowLongA(list, GWL_STYLE, GetWindowLongA(list, GWL_STYLE) & ~WS_TABSTOP);
  HWND focus = GetFocus();
  sync_focus_holders(&control_host);
  if (slot(SLOT_FINISH) && focus)
    SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(slot(SLOT_FINISH)->focus_holder), TRUE);
  describe_screen(window);
  use_completion_font();
  InvalidateRect(window, nullptr, TRUE);
}

INT_PTR on_install(HWND window) {
  if (installer_dialog.installed) {
    EndDialog(window, 0);
    return 1;
  }
  Control* install = slot(SLOT_INSTALL);
  if (!install || !install->visible || selector_sum() == 0) return 0;
  if (!read_selected_folder(window)) return 0;
  HostArchitecture host = selected_architecture(window);
  Architecture set;
  if (!choose_plugin_set(host, &set)) {
    refuse_folder(window, host.architecture);
    return 0;
  }
  if (const char* refused = enter_or_create_folder(chosen_folder)) {
    log_format(run_log, "target folder not written, %s: %s", refused, chosen_folder);
    return 0;
  }
  log_format(run_log, "target folder: %s", chosen_folder);
  if (!write_plugins(window, set)) return 0;
  log_line(run_log, "result: installed");
  enter_completed_state(window);
  return 0;
}

void browse_for_folder(HWND window) {
  HWND list = folder_list(window);
  PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&installer_dialog.browse_info);
  if (!item) {
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    return;
  }
  char* path = installer_dialog.work_path;
  BOOL converted = SHGetPathFromIDListA(item, path);
  ILFree(item);
  if (!converted || !ensure_trailing_separator(path) || !can_enter_folder(path)) {
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    return;
  }
  list_browsed_folder(window, path);
}

// The click on the hidden button takes the focus to it. The list reports
// CBN_SELENDCANCEL also when Tab or Shift+Tab takes the focus away from it: then
// the focus goes on to where the key sent it, once the focus change is over. (A
// focus of this thread is the dialog's: it is the thread's only window.)
void click_hidden_button(HWND window) {
  HWND focus = GetFocus();
  SendMessageA(GetDlgItem(window, CONTROL_HIDDEN_BUTTON), BM_CLICK, 0, 0);
  if (focus && focus != folder_list(window) && focus != GetFocus())
    PostMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
}

INT_PTR on_folder_list(HWND window, int notification) {
  if (notification == CBN_SETFOCUS) announce_focus(folder_list(window));
  if (notification == CBN_SELCHANGE || notification == CBN_SELENDCANCEL) click_hidden_button(window);
  if (notification != CBN_SELCHANGE) return 0;
  LRESULT index = SendMessageA(folder_list(window), CB_GETCURSEL, 0, 0);
  if (index == installer_dialog.candidate_count + installer_dialog.browse_entry_present) browse_for_folder(window);
  return 0;
}

INT_PTR on_command(HWND window, int id, int notification) {
  switch (id) {
    case IDOK:
      return on_install(window);
    case IDCANCEL:
      EndDialog(window, 0);
      return 1;
    case CONTROL_FOLDER_LIST:
      return on_folder_list(window, notification);
    default:
      return 0;
  }
}

INT_PTR on_skin_command(HWND window, WPARAM code) {
  switch (code) {
    case CMD_CLOSE:
      SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
      break;
    case CMD_INSTALL:
      SendMessageA(window, WM_COMMAND, IDOK, 0);
      break;
    case CMD_OPEN_PAGE:
      open_maker_page(MAKER_PAGE, open_page_here);
      break;
    case CMD_SELECTOR:
      on_selector_changed(window);
      sync_focus_holders(&control_host);  // the install button may have come or gone
      announce_check_boxes();
      break;
    default:  // CMD_HELP and anything else: nothing
      break;
  }
  return 0;
}

// A dialog procedure returns other results than TRUE or FALSE through DWLP_MSGRESULT.
INT_PTR answer_for_accessibility(HWND window, WPARAM wparam, LPARAM lparam) {
  LRESULT answer = answer_get_object(wparam, lparam);
  if (!answer) return 0;
  SetWindowLongPtrA(window, DWLP_MSGRESULT, answer);
  return 1;
}

}  // namespace

INT_PTR CALLBACK installer_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (skin_painter && skin_painter->dispatch_mouse(window, message, wparam, lparam)) return 0;
  switch (message & 0xFFFF) {
    case WM_PAINT:
      return on_paint();
    case WM_HELP:
      SendMessageA(window, WM_SKIN_COMMAND, CMD_HELP, 0);
      return 0;
    case WM_INITDIALOG:
      return on_init_dialog(window);
    case WM_COMMAND:
      return on_command(window, LOWORD(wparam), HIWORD(wparam));
    case WM_SKIN_COMMAND:
      return on_skin_command(window, wparam);
    case WM_DPICHANGED:
      on_dpi_changed(window, wparam, lparam, installer_dialog.installed ? LIST_TOP_COMPLETED : LIST_TOP_CHOOSING);
      return 1;
    case WM_GETOBJECT:
      return answer_for_accessibility(window, wparam, lparam);
    case WM_DESTROY:
      UnhookWindowsHookEx(installer_dialog.enter_filter);
      return 0;

    default:
      return 0;
  }
}
