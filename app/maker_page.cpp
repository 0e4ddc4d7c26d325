#include "maker_page.h"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shobjidl.h>

#include "handles.h"

namespace {

// The identities of the shell's objects, spelled out here: the import library that
// carries them would bring two kilobytes of others along.
constexpr GUID SHELL_WINDOWS_CLASS = {0x9ba05972, 0xf6a8, 0x11cf, {0xa4, 0x42, 0x00, 0xa0, 0xc9, 0x0a, 0x8f, 0x39}};
constexpr GUID SHELL_WINDOWS = {0x85cb6900, 0x4d95, 0x11cf, {0x96, 0x0c, 0x00, 0x80, 0xc7, 0xf4, 0xee, 0x85}};
constexpr GUID SERVICE_PROVIDER = {0x6d5140c1, 0x7436, 0x11ce, {0x80, 0x34, 0x00, 0xaa, 0x00, 0x60, 0x09, 0xfa}};
constexpr GUID TOP_LEVEL_BROWSER = {0x4c96be40, 0x915c, 0x11cf, {0x99, 0xd3, 0x00, 0xaa, 0x00, 0x4a, 0xe8, 0x37}};
constexpr GUID SHELL_BROWSER = {0x000214e2, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID DISPATCH = {0x00020400, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID FOLDER_VIEW_DUAL = {0xe7a1af80, 0x4d96, 0x11cf, {0x96, 0x0c, 0x00, 0x80, 0xc7, 0xf4, 0xee, 0x85}};
constexpr GUID SHELL_DISPATCH2 = {0xa4c6892c, 0x3ba9, 0x11d2, {0x9d, 0xea, 0x00, 0xc0, 0x4f, 0xb1, 0x61, 0x62}};

template <typename Interface>
void** as_out(Interface*& pointer) {
  return reinterpret_cast<void**>(&pointer);
}

// shellapi.h maps the name ShellExecute to ShellExecuteA, and the shell object's method
// carries whichever name was in force where its header was first read: the call
// takes the one the interface has.
#pragma push_macro("ShellExecute")
#undef ShellExecute
template <typename Shell>
auto shell_execute(Shell* shell, BSTR file, VARIANT& verb, VARIANT& show, VARIANT none, int)
    -> decltype(shell->ShellExecute(file, none, none, verb, show)) {
  return shell->ShellExecute(file, none, none, verb, show);
}
template <typename Shell>
auto shell_execute(Shell* shell, BSTR file, VARIANT& verb, VARIANT& show, VARIANT none, long)
    -> decltype(shell->ShellExecuteA(file, none, none, verb, show)) {
  return shell->ShellExecuteA(file, none, none, verb, show);
}
#pragma pop_macro("ShellExecute")

// Hands `file` to the desktop's shell: from the shell windows of the signed-in user's
// desktop to its folder view, whose Application object runs ShellExecute in the
// shell's own process. Every step runs only when the one before succeeded.
HRESULT open_by_desktop_shell(BSTR file, VARIANT& verb, VARIANT& show) {
  IShellWindows* windows = nullptr;
  IDispatch* desktop = nullptr;
  IServiceProvider* services = nullptr;
  IShellBrowser* browser = nullptr;
  IShellView* view = nullptr;
  IDispatch* background = nullptr;
  IShellFolderViewDual* folder_view = nullptr;
  IDispatch* application = nullptr;
  IShellDispatch2* shell = nullptr;
  static VARIANT none;  // static: zero, VT_EMPTY, without code to clear it
  long desktop_window = 0;
  HRESULT result = CoCreateInstance(SHELL_WINDOWS_CLASS, nullptr, CLSCTX_LOCAL_SERVER, SHELL_WINDOWS, as_out(windows));
  if (SUCCEEDED(result))
    result = windows->FindWindowSW(&none, &none, SWC_DESKTOP, &desktop_window, SWFO_NEEDDISPATCH, &desktop);
  if (result == S_FALSE || !desktop) result = E_FAIL;  // no desktop window to ask
  if (SUCCEEDED(result)) result = desktop->QueryInterface(SERVICE_PROVIDER, as_out(services));
  if (SUCCEEDED(result)) result = services->QueryService(TOP_LEVEL_BROWSER, SHELL_BROWSER, as_out(browser));
  if (SUCCEEDED(result)) result = browser->QueryActiveShellView(&view);
  if (SUCCEEDED(result)) result = view->GetItemObject(SVGIO_BACKGROUND, DISPATCH, as_out(background));
  if (SUCCEEDED(result)) result = background->QueryInterface(FOLDER_VIEW_DUAL, as_out(folder_view));
  if (SUCCEEDED(result)) result = folder_view->get_Application(&application);
  if (SUCCEEDED(result)) result = application->QueryInterface(SHELL_DISPATCH2, as_out(shell));
  if (SUCCEEDED(result)) result = shell_execute(shell, file, verb, show, none, 0);
  IUnknown* held[] = {shell, application, folder_view, background, view, browser, services, desktop, windows};
  for (IUnknown* item : held)
    if (item) item->Release();
  return result;
}

}  // namespace

// A BSTR that needs no allocation: its length in bytes, then its text. The shell
// object only reads what it is handed, and the proxy that carries the call to the
// shell's process copies it by that length.
struct ConstantBstr {
  DWORD bytes;
  WCHAR text[512];
};

BSTR as_bstr(ConstantBstr& bstr, const char* text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text, -1, bstr.text, 512);
  bstr.bytes = static_cast<DWORD>(length - 1) * sizeof(WCHAR);
  return length > 0 ? bstr.text : nullptr;
}

PageRoute open_maker_page(const char* address, void (*open_here)(const char* address)) {
  static ConstantBstr file, open;  // static: a small frame keeps every local near at hand
  static VARIANT verb, show;       // zero: VT_EMPTY until set
  verb.vt = VT_BSTR;
  verb.bstrVal = as_bstr(open, "open");
  show.vt = VT_I4;
  show.lVal = SW_SHOWMAXIMIZED;
  HRESULT result = E_INVALIDARG;
  if (as_bstr(file, address)) {
    HRESULT started = CoInitialize(nullptr);
    result = open_by_desktop_shell(file.text, verb, show);
    if (SUCCEEDED(started)) CoUninitialize();
  }
  if (SUCCEEDED(result)) return PAGE_BY_DESKTOP_SHELL;
  open_here(address);
  return PAGE_FROM_HERE;
}

void open_page_here(const char* address) { ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWMAXIMIZED); }
