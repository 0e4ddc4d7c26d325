#include "install_log.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "temp_tree.h"

namespace {

class InstallLogTest : public ::testing::Test {
protected:
  void TearDown() override { close_install_log(log); }
  TempTree tree;
  InstallLog log = {};
};

TEST_F(InstallLogTest, AppendsLinesToAnExistingFile) {
  std::string path = tree.write_file("setup.log", "earlier run\r\n");
  ASSERT_EQ(open_install_log(log, path.c_str()), 1);
  log_line(log, "first");
  log_format(log, "%s=%d", "second", 2);
  log_payload_written(log, "TessoraOndelDemo.8bf", 212992);
  log_payload_skipped(log, "Other.8bf");
  close_install_log(log);
  ASSERT_EQ(open_install_log(log, path.c_str()), 1);  // a second run appends too
  log_line(log, "third");
  close_install_log(log);
  EXPECT_EQ(read_file(path),
            "earlier run\r\nfirst\r\nsecond=2\r\nwritten: TessoraOndelDemo.8bf (212992 bytes)\r\n"
            "skipped: Other.8bf (switched off)\r\nthird\r\n");
}

TEST_F(InstallLogTest, NamesTheErrorAndItsSystemText) {
  std::string path = tree.path("errors.log");
  ASSERT_EQ(open_install_log(log, path.c_str()), 1);
  log_payload_failed(log, "Busy.8bf", ERROR_SHARING_VIOLATION);
  close_install_log(log);
  std::string text = read_file(path);
  EXPECT_EQ(text.rfind("failed: Busy.8bf (error 32: ", 0), 0u) << text;
  EXPECT_GT(text.size(), std::string("failed: Busy.8bf (error 32: )\r\n").size());
}

TEST_F(InstallLogTest, AMissingFolderMeansNoLogAndEveryCallStillWorks) {
  std::string path = tree.path("no such folder\\setup.log");
  EXPECT_EQ(open_install_log(log, path.c_str()), 0);
  EXPECT_EQ(install_log_open(log), 0);
  log_line(log, "nothing");
  log_payload_failed(log, "x.8bf", 5);
  EXPECT_FALSE(file_exists(path));
}

TEST_F(InstallLogTest, AnOverlongLineIsCutNotOverrun) {
  std::string path = tree.path("long.log");
  ASSERT_EQ(open_install_log(log, path.c_str()), 1);
  std::string text(5000, 'x');
  log_line(log, text.c_str());
  log_format(log, "%s", text.c_str());  // wvsprintfA itself stops at 1024 characters
  close_install_log(log);
  std::string written = read_file(path);
  size_t first_end = written.find("\r\n");
  ASSERT_NE(first_end, std::string::npos);
  EXPECT_LT(first_end, 1100u);
  EXPECT_EQ(written.substr(written.size() - 2), "\r\n");
}

}  // namespace
