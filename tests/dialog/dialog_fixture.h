// A fixture for the installer dialog: the real dialog from the resource "main"
// with the installer's procedure, created modeless around a painter as start-up
// makes it, candidate folders seeded through the registry the probes read, and a
// driver for the modal windows (folder browser, message box) that commands open.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "registry_seed.h"
#include "temp_tree.h"

// Client points inside the skinned controls.
constexpr POINT AT_SELECTOR = {236, 16};
constexpr POINT AT_INSTALL = {270, 250};
constexpr POINT AT_EXIT = {340, 250};
constexpr POINT AT_FINISH = {190, 220};

// The bytes this program carries as the payload `name`.
std::string carried(const char* name);
extern const char DEMO[];  // "TESSORA__ONDEL__DEMO.8BF"

// Every text of a window and its children, one per line.
std::string window_texts(HWND window);

// Acts on the modal windows that a command opens. The command returns only once
// they are closed, so a thread timer, dispatched by their own message loops, finds
// each one (a visible dialog owned by `owner`), records its texts and runs the next
// action on it, tick after tick until the action reports it done; a modal window
// with no action left is cancelled.
class ModalDriver {
public:
  using Action = std::function<bool(HWND)>;  // true: done with this window
  explicit ModalDriver(HWND owner);
  ~ModalDriver();
  ModalDriver& then(Action action);
  std::vector<std::string> seen;  // window_texts of each modal window, in order

private:
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
  HWND owner_;
  HWND last_ = nullptr;
  bool acting_ = false;  // an action has not finished with last_ yet
  int ticks_ = 0;
  UINT_PTR timer_;
  std::deque<Action> actions_;
};
ModalDriver::Action pick_folder(const std::string& folder);  // the browser: select it, OK
ModalDriver::Action press(int button);                       // IDOK, IDCANCEL, IDRETRY...

class DialogTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override { close(); }

  // Folders of the tree (made here) found by the first probe row, in this order.
  void seed_candidates(const std::vector<std::string>& relatives);
  // How the drop-down lists a seeded folder: with the maker's sub-folder.
  std::string listed(const std::string& relative) const { return tree.path(relative) + "\\Veltrane\\"; }

  void open();   // painter, then the dialog, shown; every message handled
  void close();  // the dialog, the painter with its controls, the replaced font

  void click(POINT at);  // a posted left press and release
  void command(WPARAM id);
  void choose(int index);  // selects an entry as the drop-down reports a choice

  std::vector<std::string> entries() const;
  int selected() const;
  std::string visible_slots() const;  // dialog control slots whose control is visible
  RECT client_rect_of(int id) const;

  TempTree tree;
  RegistrySeed seed;
  HWND window = nullptr;
};
