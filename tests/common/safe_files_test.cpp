// The decisions that keep the elevated installer from following links: which names
// are files of their own, which paths are devices, what the final path reads as.
#include "safe_files.h"

#include <gtest/gtest.h>

#include <string>

#include "bounded_text.h"
#include "handles.h"
#include "temp_tree.h"

namespace {

TEST(SafeFiles, AFileIsItsOwnOnlyAtItsFoldersPlaceAndNeverAReparsePoint) {
  struct Row {
    DWORD attributes;
    const char* final_path;
    const char* folder;
    const char* name;
    int own;
  } rows[] = {
      {FILE_ATTRIBUTE_ARCHIVE, "C:\\P\\Veltrane\\A.8bf", "C:\\P\\Veltrane", "A.8bf", 1},
      {FILE_ATTRIBUTE_ARCHIVE, "c:\\p\\veltrane\\a.8bf", "C:\\P\\Veltrane\\", "A.8bf", 1},  // any case
      {FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT, "C:\\P\\Veltrane\\A.8bf", "C:\\P\\Veltrane", "A.8bf", 0},
      {FILE_ATTRIBUTE_ARCHIVE, "C:\\Windows\\System32\\A.8bf", "C:\\P\\Veltrane", "A.8bf", 0},  // a link's target
      {FILE_ATTRIBUTE_ARCHIVE, "C:\\P\\Veltrane\\B.8bf", "C:\\P\\Veltrane", "A.8bf", 0},
      {FILE_ATTRIBUTE_ARCHIVE, "D:\\Moved\\Veltrane\\A.8bf", "D:\\Moved\\Veltrane", "A.8bf", 1},  // a folder above moved
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.final_path);
    EXPECT_EQ(is_own_file(row.attributes, row.final_path, row.folder, row.name), row.own);
  }
}

TEST(SafeFiles, TheDeviceNamespaceIsNoFile) {
  const char* devices[] = {"\\\\.\\NUL", "\\\\.\\pipe\\x", "\\\\?\\C:\\x"};
  for (const char* path : devices) EXPECT_EQ(is_device_path(path), 1) << path;
  const char* files[] = {"C:\\x", "\\\\server\\share\\x", "\\\\.x\\share", "x"};
  for (const char* path : files) EXPECT_EQ(is_device_path(path), 0) << path;
}

TEST(SafeFiles, AFileOpenedWhereItIsReadsAsItsOwnAndItsFinalPathHasNoPrefix) {
  TempTree tree;
  std::string path = tree.write_file("own.8bf", "bytes");
  FileHandle file(open_own_disk_file(path.c_str()));
  ASSERT_TRUE(file.valid());
  char final[OUTPUT_PATH_CAPACITY];
  ASSERT_EQ(final_path_of(file.get(), final, sizeof final), 1);
  EXPECT_EQ(lstrcmpiA(final, path.c_str()), 0) << final;
  EXPECT_FALSE(FileHandle(open_own_disk_file(tree.path("missing.8bf").c_str())).valid());
}

}  // namespace
