// Paths through nested modal windows: the folder browser behind the browse entry,
// and the message box of an install that could not write every plug-in.
#include "app_state.h"
#include "dialog_fixture.h"
#include "installer_dialog.h"
#include "pe_stub.h"
#include "state_selector.h"

namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST_F(DialogTest, BrowsingListsTheFolderBeforeTheBrowseEntryReplacesItNextTimeAndInstallsThere) {
  seed_candidates({"Host"});
  std::string first = tree.make_folder("First"), second = tree.make_folder("Second Pick");
  open();
  struct Row {
    std::string pick, listed;
  } rows[] = {{"C:\\", "C:\\"}, {first, first + "\\"}, {second, second + "\\"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pick);
    ModalDriver driver(window);
    driver.then(pick_folder(row.pick));
    choose(static_cast<int>(entries().size()) - 1);
    ASSERT_EQ(driver.seen.size(), 1u);
    EXPECT_TRUE(contains(driver.seen[0], "Please Select Your Plug-Ins Folder")) << driver.seen[0];
    EXPECT_EQ(entries(), (std::vector<std::string>{listed("Host"), row.listed, "******** BROWSE ********"}));
    EXPECT_EQ(selected(), 1);
  }

  ModalDriver driver(window);  // cancels any browser
  choose(0);
  choose(1);  // the browsed folder itself opens nothing
  EXPECT_EQ(selected(), 1);
  choose(2);  // cancelled: back to the first entry
  EXPECT_EQ(driver.seen.size(), 1u);
  EXPECT_EQ(selected(), 0);
  EXPECT_EQ(entries().size(), 3u);

  choose(1);
  command(IDOK);  // into the browsed folder as it stands
  EXPECT_EQ(list_folder(second), "Other Filter.8bf|TessoraOndelDemo.8bf");
}

// A read-only plug-in in the target (Windows refuses to replace it; the installer
// checks the attribute itself, since Wine run as root would not refuse).
TEST_F(DialogTest, AReadOnlyPluginIsNamedAndKeptOnCancelAndReplacedOnRetry) {
  seed_candidates({"Host"});
  std::string folder = tree.path("Host\\Veltrane"), old_file = tree.write_file("Host\\Veltrane\\TessoraOndelDemo.8bf", "old");
  SetFileAttributesA(old_file.c_str(), FILE_ATTRIBUTE_READONLY);
  open();
  {
    ModalDriver driver(window);
    driver.then(press(IDCANCEL));
    click(AT_INSTALL);
    ASSERT_EQ(driver.seen.size(), 1u);
    for (const char* part : {"Veltrane\\", "TessoraOndelDemo.8bf", "access is denied", "read-only",
                             "choose another folder", "administrator"})
      EXPECT_TRUE(contains(driver.seen[0], part)) << part << " missing from " << driver.seen[0];
    EXPECT_TRUE(contains(driver.seen[0], folder)) << driver.seen[0];
    EXPECT_FALSE(contains(driver.seen[0], "Other Filter.8bf")) << "written, so not named";
  }
  EXPECT_EQ(installer_dialog.installed, 0);
  EXPECT_EQ(visible_slots(), "0 1 2 3 4");
  EXPECT_EQ(read_file(old_file), "old");
  EXPECT_EQ(list_folder(folder), "Other Filter.8bf|TessoraOndelDemo.8bf");

  ModalDriver driver(window);
  driver.then([&](HWND box) {
    SetFileAttributesA(old_file.c_str(), FILE_ATTRIBUTE_NORMAL);
    return press(IDRETRY)(box);
  });
  command(IDOK);
  EXPECT_EQ(driver.seen.size(), 1u);
  EXPECT_EQ(installer_dialog.installed, 1);
  EXPECT_EQ(read_file(old_file), carried(DEMO));
}

TEST_F(DialogTest, EachAttemptSkipsOnlyWhatIsSwitchedOffForIt) {
  seed_candidates({"Host"});
  std::string blocked = tree.write_file("Host\\Veltrane\\Other Filter.8bf", "old");
  SetFileAttributesA(blocked.c_str(), FILE_ATTRIBUTE_READONLY);
  open();
  // A second selector, switched on, for the other carried plug-in.
  RECT place = {230, 40, 250, 22};
  StateSelector* other = new StateSelector(&control_host, place, 128, 0x80148000, "Other", 0, -3, "", 2000, 0, "Other");
  other->value = 2;
  installer_dialog.dialog_controls[FIRST_SELECTOR_SLOT + 1] = other;

  click(AT_SELECTOR);  // the demo switched off for the first attempt
  {
    ModalDriver driver(window);
    driver.then(press(IDCANCEL));
    command(IDOK);
    EXPECT_EQ(driver.seen.size(), 1u);
  }
  EXPECT_FALSE(file_exists(tree.path("Host\\Veltrane\\TessoraOndelDemo.8bf")));

  click(AT_SELECTOR);  // and on for the next
  SetFileAttributesA(blocked.c_str(), FILE_ATTRIBUTE_NORMAL);
  ModalDriver driver(window);
  command(IDOK);
  EXPECT_TRUE(driver.seen.empty());
  EXPECT_EQ(installer_dialog.installed, 1);
  EXPECT_EQ(read_file(tree.path("Host\\Veltrane\\TessoraOndelDemo.8bf")), carried(DEMO));
}

// This program carries no 64-bit build: a folder whose plug-ins are 64-bit is refused.
TEST_F(DialogTest, AFolderWhoseHostLoadsABuildNotCarriedIsRefusedAndNothingIsWritten) {
  seed_candidates({"Host"});
  tree.write_file("Host\\Sharpen.8bf", pe_stub(MACHINE_AMD64));
  open();
  ModalDriver driver(window);
  driver.then(press(IDOK));
  command(IDOK);
  ASSERT_EQ(driver.seen.size(), 1u);
  for (const std::string& part : {std::string("Nothing was installed"), listed("Host"),
                                  std::string("64-bit (x64) image editor"), std::string("32-bit (x86) image editors")})
    EXPECT_TRUE(contains(driver.seen[0], part)) << part << " missing from " << driver.seen[0];
  EXPECT_EQ(installer_dialog.installed, 0);
  EXPECT_EQ(visible_slots(), "0 1 2 3 4");
  EXPECT_FALSE(folder_exists(tree.path("Host\\Veltrane")));
}
