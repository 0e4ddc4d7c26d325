#include "install_log.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "temp_tree.h"

namespace {

class InstallLogTest : public ::testing::Test {
protected:
  void TearDown() override { close_install_log(); }
  TempTree tree;
};

TEST_F(InstallLogTest, AppendsLinesToAnExistingFile) {
  std::string path = tree.write_file("setup.log", "earlier run\r\n");
  ASSERT_EQ(open_install_log(path.c_str()), 1);
  log_line("first");
  log_format("%s=%d", "second", 2);
  log_payload_written("TessoraOndelDemo.8bf", 212992);
  log_payload_skipped("Other.8bf");
  close_install_log();
  ASSERT_EQ(open_install_log(path.c_str()), 1);  // a second run appends too
  log_line("third");
  close_install_log();
  EXPECT_EQ(read_file(path),
            "earlier run\r\nfirst\r\nsecond=2\r\nwritten: TessoraOndelDemo.8bf (212992 bytes)\r\n"
            "skipped: Other.8bf (switched off)\r\nthird\r\n");
}

TEST_F(InstallLogTest, NamesTheErrorAndItsSystemText) {
  std::string path = tree.path("errors.log");
  ASSERT_EQ(open_install_log(path.c_str()), 1);
  log_payload_failed("Busy.8bf", ERROR_SHARING_VIOLATION);
  close_install_log();
  std::string text = read_file(path);
  EXPECT_EQ(text.rfind("failed: Busy.8bf (error 32: ", 0), 0u) << text;
  EXPECT_GT(text.size(), std::string("failed: Busy.8bf (error 32: )\r\n").size());
}

TEST_F(InstallLogTest, AMissingFolderMeansNoLogAndEveryCallStillWorks) {
  std::string path = tree.path("no such folder\\setup.log");
  EXPECT_EQ(open_install_log(path.c_str()), 0);
  EXPECT_EQ(install_log_open(), 0);
  log_line("nothing");
  log_payload_failed("x.8bf", 5);
  EXPECT_FALSE(file_exists(path));
}

TEST_F(InstallLogTest, AnOverlongLineIsCutNotOverrun) {
  std::string path = tree.path("long.log");
  ASSERT_EQ(open_install_log(path.c_str()), 1);
  std::string text(5000, 'x');
  log_line(text.c_str());
  log_format("%s", text.c_str());  // wvsprintfA itself stops at 1024 characters
  close_install_log();
  std::string written = read_file(path);
  size_t first_end = written.find("\r\n");
  ASSERT_NE(first_end, std::string::npos);
  EXPECT_LT(first_end, 1100u);
  EXPECT_EQ(written.substr(written.size() - 2), "\r\n");
}

}  // namespace
