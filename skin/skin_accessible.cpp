#include "skin_accessible.h"

#include <oleacc.h>

#include "skin_scale.h"
#include "system_calls.h"

AccessTable access_table;

namespace {

HMODULE oleacc_module;  // loaded on the first question, kept for the process

// What is told of one element: the dialog itself (0) or a row (its index + 1).
struct Element {
  int role;
  int state;
  const char* name;
  RECT screen;  // device pixels, screen coordinates
};

// 0 when there is no such element. A control says its own role, state and place;
// a window of the dialog's own (and the dialog) has its window's place.
int describe_element(int id, Element* element) {
  if (id < 0 || id > access_table.count) return 0;
  ControlAccess access = ControlAccess();  // filled field by field: no constant copied from data
  access.role = ROLE_DIALOG;
  access.name = access_table.title;
  HWND window = access_table.dialog;
  Control* control = nullptr;
  if (id) {
    const AccessRow& row = access_table.rows[id - 1];
    access.role = row.role;
    access.area = row.area;
    window = row.window;
    control = row.control;
    if (control) control->describe(&access);
    access.name = row.name[0] || !control ? row.name : access.name;
  }
  element->role = access.role;
  element->name = access.name;
  element->state = control && !control->visible ? STATE_SYSTEM_INVISIBLE : access.state;
  if (window) element->state |= STATE_SYSTEM_FOCUSABLE | (GetFocus() == window ? STATE_SYSTEM_FOCUSED : 0);
  element->screen = to_device(access.area);
  ClientToScreen(access_table.dialog, reinterpret_cast<POINT*>(&element->screen.left));
  ClientToScreen(access_table.dialog, reinterpret_cast<POINT*>(&element->screen.right));
  if (window && !control) GetWindowRect(window, &element->screen);
  return 1;
}

int row_of_window(HWND window) {
  for (int i = 0; i < access_table.count; ++i)
    if (access_table.rows[i].window == window) return i;
  return -1;
}

HRESULT answer_text(const char* text, BSTR* answer) {
  *answer = nullptr;
  if (!text[0]) return S_FALSE;
  int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  *answer = length > 0 ? SysAllocStringLen(nullptr, static_cast<UINT>(length - 1)) : nullptr;
  if (!*answer) return E_OUTOFMEMORY;
  MultiByteToWideChar(CP_ACP, 0, text, -1, *answer, length);
  return S_OK;
}

HRESULT answer_number(LONG number, VARIANT* answer) {
  V_VT(answer) = VT_I4;
  V_I4(answer) = number;
  return S_OK;
}

// The dialog, with its rows as simple children numbered from 1 in reading order.
// It keeps no state of its own (the table is the state), so there is one object
// for the whole process, constant, which never goes: counting references is moot.
class SkinAccessible final : public IAccessible {
public:
  constexpr SkinAccessible() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    *object = nullptr;
    if (id != __uuidof(IUnknown) && id != __uuidof(IDispatch) && id != __uuidof(IAccessible)) return E_NOINTERFACE;
    *object = static_cast<IAccessible*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  // No type information: clients call the interface directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // The dialog's window object, the one Windows makes for any window.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    using StandardObject = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    auto standard_object = module_function<StandardObject>(oleacc_module, "CreateStdAccessibleObject");
    *parent = nullptr;
    return standard_object ? standard_object(access_table.dialog, OBJID_WINDOW, __uuidof(IDispatch),
                                             reinterpret_cast<void**>(parent))
                           : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    *count = access_table.count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    *object = nullptr;  // the rows are simple elements of the dialog
    int id = target(child);
    return id > 0 && id <= access_table.count ? S_FALSE : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    Element element;
    if (!describe_element(target(child), &element)) return E_INVALIDARG;
    return answer_text(element.name, name);
  }
  // What a screen reader does not need of these controls is not there.
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    Element element;
    if (!describe_element(target(child), &element)) return E_INVALIDARG;
    return answer_number(element.role, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    Element element;
    if (!describe_element(target(child), &element)) return E_INVALIDARG;
    return answer_number(element.state, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, LONG*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
  // The focus is told by the elements' states and by focus events.
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    Element element;
    if (!describe_element(target(child), &element)) return E_INVALIDARG;
    *left = element.screen.left;
    *top = element.screen.top;
    *width = element.screen.right - element.screen.left;
    *height = element.screen.bottom - element.screen.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG, LONG, VARIANT*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
  // The element a child id names: CHILDID_SELF (0) the dialog, 1 to count its
  // rows; anything else names none (describe_element refuses it).
  static int target(const VARIANT& child) { return V_VT(&child) == VT_I4 ? V_I4(&child) : -1; }
};

const SkinAccessible accessible_dialog;

}  // namespace

void begin_access_rows(HWND dialog, const char* title) {
  access_table.dialog = dialog;
  access_table.title = title;
  access_table.count = 0;
}

namespace {

AccessRow* next_row() {
  if (access_table.count >= ACCESS_ROW_CAPACITY) return nullptr;
  AccessRow* row = &access_table.rows[access_table.count++];
  *row = AccessRow();
  return row;
}

}  // namespace

void add_control_row(Control* control, const char* name) {
  AccessRow* row = control ? next_row() : nullptr;
  if (!row) return;
  row->control = control;
  row->window = control->focus_holder;
  row->name = name;
}

void add_window_row(HWND window, int role, const char* name) {
  AccessRow* row = next_row();
  if (!row) return;
  row->window = window;
  row->role = role;
  row->name = name;
}

void add_text_row(const char* text, const RECT& area) {
  AccessRow* row = next_row();
  if (!row) return;
  row->role = ROLE_STATIC_TEXT;
  row->name = text;
  row->area = area;
}

LRESULT answer_get_object(WPARAM wparam, LPARAM object_id) {
  if (static_cast<DWORD>(object_id) != static_cast<DWORD>(OBJID_CLIENT) || !access_table.dialog) return 0;
  // Not one of Windows' known DLLs: only the system folder's copy may be loaded.
  if (!oleacc_module) oleacc_module = LoadLibraryExA("oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  using FromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
  auto from_object = module_function<FromObject>(oleacc_module, "LresultFromObject");
  if (!from_object) return 0;
  IAccessible* object = const_cast<SkinAccessible*>(&accessible_dialog);  // its methods change nothing
  LRESULT answer = from_object(__uuidof(IAccessible), wparam, object);
  return answer > 0 ? answer : 0;
}

void announce_focus(HWND window) {
  int row = row_of_window(window);
  if (row >= 0) NotifyWinEvent(EVENT_OBJECT_FOCUS, access_table.dialog, OBJID_CLIENT, row + 1);
}

void announce_check_boxes() {
  ControlAccess access;
  for (int i = 0; i < access_table.count; ++i) {
    Control* control = access_table.rows[i].control;
    if (control && control->describe(&access) && access.role == ROLE_CHECK_BOX)
      NotifyWinEvent(EVENT_OBJECT_STATECHANGE, access_table.dialog, OBJID_CLIENT, i + 1);
  }
}
