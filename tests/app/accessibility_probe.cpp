// Reads another process's installer window as a screen reader does, through
// Windows' accessibility interface:
//   accessibility_probe TITLE
// prints the client object's role and name, then one line per child:
//   ROLE<TAB>NAME<TAB>STATES
// roles and states by name (push button, check box, link, combo box, static text;
// checked, focused, invisible). Exits with 1 when no visible window has that title,
// 3 when the window's client object cannot be had.
#include <windows.h>
#include <oleacc.h>

#include <stdio.h>

#include <string>

namespace {

std::string role_name(LONG role) {
  switch (role) {
    case ROLE_SYSTEM_DIALOG: return "dialog";
    case ROLE_SYSTEM_PUSHBUTTON: return "push button";
    case ROLE_SYSTEM_CHECKBUTTON: return "check box";
    case ROLE_SYSTEM_LINK: return "link";
    case ROLE_SYSTEM_COMBOBOX: return "combo box";
    case ROLE_SYSTEM_STATICTEXT: return "static text";
    default: return "role " + std::to_string(role);
  }
}

std::string state_names(LONG state) {
  std::string names;
  if (state & STATE_SYSTEM_CHECKED) names += " checked";
  if (state & STATE_SYSTEM_FOCUSED) names += " focused";
  if (state & STATE_SYSTEM_INVISIBLE) names += " invisible";
  return names.empty() ? "-" : names.substr(1);
}

std::string narrow(BSTR text) {
  if (!text) return "";
  char buffer[1024] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
  SysFreeString(text);
  return buffer;
}

void print_element(IAccessible* object, LONG id) {
  VARIANT child;
  VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = id;
  VARIANT role, state;
  VariantInit(&role);
  VariantInit(&state);
  BSTR name = nullptr;
  object->get_accRole(child, &role);
  object->get_accState(child, &state);
  object->get_accName(child, &name);
  printf("%s\t%s\t%s\n", role.vt == VT_I4 ? role_name(role.lVal).c_str() : "?", narrow(name).c_str(),
         state.vt == VT_I4 ? state_names(state.lVal).c_str() : "?");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  HWND window = FindWindowA(nullptr, argv[1]);
  if (!window || !IsWindowVisible(window)) return 1;
  CoInitialize(nullptr);
  IAccessible* object = nullptr;
  HRESULT result = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                              reinterpret_cast<void**>(&object));
  if (FAILED(result) || !object) {
    printf("no client object: 0x%08lx\n", static_cast<unsigned long>(result));
    return 3;
  }
  print_element(object, CHILDID_SELF);
  LONG count = 0;
  object->get_accChildCount(&count);
  for (LONG id = 1; id <= count; ++id) print_element(object, id);
  object->Release();
  CoUninitialize();
  return 0;
}
