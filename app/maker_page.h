// Opening the maker's installation page from the completion screen. The installer
// runs elevated, and a browser started by it would run elevated too, with every page
// it shows able to act as administrator. So the page is handed to the desktop's own
// shell, which runs as the signed-in user, unelevated, as Windows' shell does for
// elevated programs; only where there is no such shell to ask is it opened from here.
#pragma once

// How the page was opened.
enum PageRoute {
  PAGE_BY_DESKTOP_SHELL = 1,  // as the signed-in user, unelevated
  PAGE_FROM_HERE,             // no desktop shell to ask: opened by this process
};

// Opens `address` maximised with the "open" verb. `open_here` opens it from this
// process when the desktop's shell cannot (the program passes open_page_here).
PageRoute open_maker_page(const char* address, void (*open_here)(const char* address));

// ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWMAXIMIZED).
void open_page_here(const char* address);
