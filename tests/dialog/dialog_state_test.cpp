// The dialog's states without nested windows: initialisation, the selector and the
// install button, installing, and every way the dialog ends.
#include "app_state.h"
#include "dialog_fixture.h"
#include "installer_dialog.h"
#include "resource_ids.h"

namespace {

const std::string BROWSE = "******** BROWSE ********";

INT_PTR CALLBACK plain_dialog(HWND, UINT, WPARAM, LPARAM) { return 0; }

LONG font_height(HFONT font) {
  LOGFONTA logical = {};
  GetObjectA(font, sizeof logical, &logical);
  return logical.lfHeight;
}

}  // namespace

TEST_F(DialogTest, ListsCandidatesThenBrowseInA383By270ClientAreaKeptCentred) {
  // Where the dialog manager puts the template, before the dialog resizes itself.
  HWND plain = CreateDialogParamA(instance_handle, MAIN_DIALOG_NAME, nullptr, plain_dialog, 0);
  RECT outer, client;
  GetWindowRect(plain, &outer);
  GetClientRect(plain, &client);
  DestroyWindow(plain);

  seed_candidates({"Host\\Plugins", "Igrafx Image\\Plugins", "Other Host"});
  open();
  EXPECT_EQ(entries(), (std::vector<std::string>{listed("Host\\Plugins"), tree.path("Igrafx Image\\Plugins\\"),
                                                 listed("Other Host"), BROWSE}));
  EXPECT_EQ(selected(), 0);
  char title[64] = "";
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "Veltrane Plugins : Installation");

  RECT now, now_client;
  GetWindowRect(window, &now);
  GetClientRect(window, &now_client);
  EXPECT_EQ(now_client.right, 383);
  EXPECT_EQ(now_client.bottom, 270);
  EXPECT_EQ(now.left, (2 * outer.left + client.right - 383) / 2);
  EXPECT_EQ(now.top, (2 * outer.top + client.bottom - 270) / 2);
  EXPECT_EQ(now.right - now.left, outer.right - outer.left - client.right + 383);
  EXPECT_EQ(now.bottom - now.top, outer.bottom - outer.top - client.bottom + 270);

  RECT list = client_rect_of(1033);
  EXPECT_EQ(list.left, 6);
  EXPECT_EQ(list.top, 210);
  EXPECT_EQ(list.right - list.left, 373);
  EXPECT_FALSE(GetWindowLongA(GetDlgItem(window, 1034), GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(visible_slots(), "0 1 2 3 4");
  EXPECT_EQ(installer_dialog.candidate_count, 3);
}

TEST_F(DialogTest, WithoutCandidatesOnlyTheBrowseEntryIsListedAndInstallsNothing) {
  open();
  EXPECT_EQ(entries(), std::vector<std::string>{BROWSE});
  EXPECT_EQ(selected(), 0);
  command(IDOK);  // the entry's text is no folder
  EXPECT_EQ(installer_dialog.installed, 0);
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(DialogTest, TheInstallButtonIsThereExactlyWhileTheSelectorIsOn) {
  seed_candidates({"Host"});
  open();
  click(AT_SELECTOR);
  EXPECT_EQ(visible_slots(), "0 2 3 4");
  EXPECT_EQ(installer_dialog.dialog_controls[SLOT_INSTALL]->interactive, 0);
  click(AT_INSTALL);
  command(IDOK);
  EXPECT_EQ(installer_dialog.installed, 0);
  EXPECT_FALSE(folder_exists(tree.path("Host\\Veltrane")));

  click(AT_SELECTOR);
  EXPECT_EQ(visible_slots(), "0 1 2 3 4");
  EXPECT_EQ(installer_dialog.dialog_controls[SLOT_INSTALL]->interactive, 1);
}

TEST_F(DialogTest, InstallWritesThePayloadsAndShowsTheCompletionScreen) {
  seed_candidates({"Host\\Plugins"});
  open();
  SendMessageA(window, WM_HELP, 0, 0);  // F1 changes nothing
  EXPECT_EQ(visible_slots(), "0 1 2 3 4");
  EXPECT_EQ(font_height(normal_font), 13);

  click(AT_INSTALL);
  std::string folder = tree.path("Host\\Plugins\\Veltrane");
  EXPECT_STREQ(chosen_folder, (folder + "\\").c_str());
  EXPECT_EQ(list_folder(folder), "Other Filter.8bf|TessoraOndelDemo.8bf");
  EXPECT_EQ(read_file(folder + "\\TessoraOndelDemo.8bf"), carried(DEMO));
  EXPECT_EQ(installer_dialog.installed, 1);
  EXPECT_EQ(visible_slots(), "3 69");
  EXPECT_EQ(client_rect_of(1033).top, 1000);
  EXPECT_EQ(font_height(normal_font), 16);

  SendMessageA(window, WM_HELP, 0, 0);
  EXPECT_EQ(visible_slots(), "3 69");
  EXPECT_TRUE(IsWindowVisible(window));
}

// EndDialog on this modeless dialog hides it, and nothing else hides it.
TEST_F(DialogTest, EndsOnCloseInEitherStateAndOnEnterOnceInstalled) {
  struct Row {
    const char* name;
    bool install_first;
    WPARAM command;  // or else a click
    POINT click;
  };
  const Row rows[] = {
      {"Escape while choosing", false, IDCANCEL, {}},
      {"exit button", false, 0, AT_EXIT},
      {"Enter when installed", true, IDOK, {}},
      {"Escape when installed", true, IDCANCEL, {}},
      {"finish button", true, 0, AT_FINISH},
  };
  seed_candidates({"Host"});
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    open();
    if (row.install_first) click(AT_INSTALL);
    ASSERT_EQ(installer_dialog.installed, row.install_first ? 1 : 0);
    ASSERT_TRUE(IsWindowVisible(window));
    if (row.command)
      command(row.command);
    else
      click(row.click);
    EXPECT_FALSE(IsWindowVisible(window));
    close();
  }
}

TEST_F(DialogTest, AFolderThatCanNeitherBeEnteredNorCreatedChangesNothing) {
  seed_candidates({"Gone\\Plugins"});
  open();
  SetCurrentDirectoryA("C:\\");  // the probes left it in the folder
  remove_tree(tree.path("Gone"));  // the listed folder's parent vanished after the probes
  click(AT_INSTALL);
  EXPECT_EQ(installer_dialog.installed, 0);
  EXPECT_EQ(visible_slots(), "0 1 2 3 4");
  EXPECT_FALSE(folder_exists(tree.path("Gone")));
  EXPECT_EQ(entries().size(), 2u);
  EXPECT_TRUE(IsWindowVisible(window));
}
