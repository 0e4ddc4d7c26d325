#include "candidate_list.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "canary.h"
#include "temp_tree.h"

namespace {

class CandidateListTest : public ::testing::Test {
protected:
  void SetUp() override { reset_candidate_list(); }
  void TearDown() override { reset_candidate_list(); }

  // Offers a path the way a probe does: in a writable 400-byte buffer.
  static std::string offer(const std::string& raw) {
    char buffer[PATH_CAPACITY + 1];
    fill_canary(buffer);
    lstrcpynA(buffer, raw.c_str(), PATH_CAPACITY);
    const ProbeFindings none = {0, nullptr, ARCH_UNKNOWN, 0, 0};
    admit_candidate(buffer, none);
    EXPECT_TRUE(is_canary(buffer[PATH_CAPACITY]));
    return buffer;
  }
  static std::string entry(int i) { return candidate_list.entries[i].path; }
  static int flag(int i) { return candidate_list.entries[i].append_subfolder; }

  // The tree's root as title case writes it: "C:\Tt123_4".
  std::string title_root() const {
    char buffer[PATH_CAPACITY];
    lstrcpyA(buffer, tree.root().c_str());
    return title_case(buffer);
  }
  static std::string lower(std::string text) {
    for (char& c : text)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
  }

  TempTree tree;
};

TEST_F(CandidateListTest, StoresAnExistingFolderTitleCasedWithASeparator) {
  tree.make_folder("Program Files\\Jasc Software Inc\\Paint Shop Pro 7\\Plugins");
  offer(lower(tree.path("program files\\jasc software inc\\paint shop pro 7\\plugins")));
  ASSERT_EQ(candidate_count(), 1);
  EXPECT_EQ(entry(0), title_root() + "\\Program Files\\Jasc Software Inc\\Paint Shop Pro 7\\Plugins\\");
  EXPECT_EQ(flag(0), 1);
}

TEST_F(CandidateListTest, TitleCaseUpperCasesAfterEveryNonLetter) {
  struct Row {
    const char* input;
    const char* expected;
  } rows[] = {
      {"c:\\plugins 3d", "C:\\Plugins 3D"},
      {"c:\\plug-ins\\a_b.c", "C:\\Plug-Ins\\A_B.C"},
      {"C:\\MIXED\\case", "C:\\Mixed\\Case"},
      {"c:\\x-\xe9t\xe9", "C:\\X-\xe9t\xe9"},  // bytes from 0x80 up are never upper-cased after a non-letter
      {"c:\\[a", "C:\\[A"},                      // '[' is a non-letter; 'a' follows it
      {"c:\\a{b", "C:\\A{B"},                    // every non-letter counts, '{' too
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    char buffer[PATH_CAPACITY];
    lstrcpyA(buffer, row.input);
    EXPECT_STREQ(title_case(buffer), row.expected);
  }
}

TEST_F(CandidateListTest, TheSameFolderInAnotherFormIsListedOnce) {
  std::string folder = tree.make_folder("Photo");
  offer(folder);
  offer(lower(folder) + "\\");
  offer(folder + "\\");
  ASSERT_EQ(candidate_count(), 1);
  EXPECT_EQ(entry(0), title_root() + "\\Photo\\");
}

TEST_F(CandidateListTest, AFileOrAMissingLastComponentGivesTheContainingFolder) {
  tree.write_file("Photo\\Photo.exe", "MZ");
  offer(tree.path("Photo\\Photo.exe"));
  std::string other = tree.make_folder("Other");
  offer(other + "\\PlugX");
  ASSERT_EQ(candidate_count(), 2);
  EXPECT_EQ(entry(0), title_root() + "\\Photo\\");
  EXPECT_EQ(entry(1), title_root() + "\\Other\\");
}

TEST_F(CandidateListTest, TrailingTextIsTrimmedUntilAFolderRemains) {
  tree.make_folder("Filters");
  tree.make_folder("p");
  offer(tree.path("Filters\" )"));
  // Windows resolves "C:\p " to C:\p; the stored name must be the folder's own.
  offer(tree.path("p ;plugindirectory"));
  offer(tree.path("p."));
  ASSERT_EQ(candidate_count(), 2);
  EXPECT_EQ(entry(0), title_root() + "\\Filters\\");
  EXPECT_EQ(entry(1), title_root() + "\\P\\");
}

TEST_F(CandidateListTest, DriveRootsAndMissingFoldersAreNeverAdmitted) {
  tree.make_folder("drivers");
  SetCurrentDirectoryA(tree.root().c_str());  // "C:drivers" would name the tree's "drivers"
  const char* rejected[] = {"C:\\", "C:", "C:\\NoSuchFolderHere", "Q:\\x\\y", "C:drivers"};
  for (const char* path : rejected) {
    SCOPED_TRACE(path);
    offer(path);
  }
  EXPECT_EQ(candidate_count(), 0);
}

TEST_F(CandidateListTest, TheMakerFolderIsCutOnlyWhenItStartsAComponent) {
  tree.make_folder("plug-ins\\veltrane\\filters");
  tree.make_folder("novelty\\plugins\\veltrane");
  offer(lower(tree.path("plug-ins\\veltrane\\filters")));
  offer(lower(tree.path("novelty\\plugins\\veltrane")));
  ASSERT_EQ(candidate_count(), 2);
  EXPECT_EQ(entry(0), title_root() + "\\Plug-Ins\\");
  EXPECT_EQ(entry(1), title_root() + "\\Novelty\\Plugins\\Veltrane\\");
  EXPECT_EQ(flag(0), 1);
  EXPECT_EQ(flag(1), 1);
}

// Only a component that begins with the maker's whole name is the maker's folder,
// and only the first "velt" of a path is looked at.
TEST_F(CandidateListTest, TheMakerFolderIsCutOnlyWhereAComponentBeginsWithItsWholeName) {
  struct Row {
    const char* folder;  // made in the tree and offered in lower case
    const char* stored;  // below the tree's root
  } rows[] = {
      {"veltman tools\\plug-ins", "\\Veltman Tools\\Plug-Ins\\"},
      {"a\\veltrane plugins\\b", "\\A\\"},
      {"c\\veltrane\\filters", "\\C\\"},
      {"veltmann\\veltrane\\p", "\\Veltmann\\Veltrane\\P\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.folder);
    reset_candidate_list();
    tree.make_folder(row.folder);
    offer(lower(tree.path(row.folder)));
    ASSERT_EQ(candidate_count(), 1);
    EXPECT_EQ(entry(0), title_root() + row.stored);
  }
}

TEST_F(CandidateListTest, FoldersContainingIgrafxAreListedWithoutTheSubfolder) {
  tree.make_folder("igrafx\\image\\plugins");
  tree.make_folder("plain");
  offer(tree.path("IGRAFX\\image\\plugins"));
  offer(tree.path("plain"));
  ASSERT_EQ(candidate_count(), 2);
  EXPECT_EQ(entry(0), title_root() + "\\Igrafx\\Image\\Plugins\\");
  EXPECT_EQ(flag(0), 0);
  EXPECT_EQ(flag(1), 1);
}

TEST_F(CandidateListTest, TheTwentyFirstFolderIsDropped) {
  for (int i = 0; i < CANDIDATE_CAPACITY + 1; ++i) offer(tree.make_folder("f" + std::to_string(i)));
  ASSERT_EQ(candidate_count(), CANDIDATE_CAPACITY);
  for (int i = 0; i < CANDIDATE_CAPACITY; ++i) EXPECT_EQ(entry(i), title_root() + "\\F" + std::to_string(i) + "\\");
}

TEST_F(CandidateListTest, AFullLengthPathStaysInsideItsBuffer) {
  // A path as long as the buffer allows: the walk trims it to the tree's root.
  std::string raw = tree.root() + "\\" + std::string(PATH_CAPACITY - 2 - tree.root().size(), 'q');
  ASSERT_EQ(raw.size(), static_cast<size_t>(PATH_CAPACITY - 1));
  std::string left = offer(raw);
  ASSERT_EQ(candidate_count(), 1);
  EXPECT_EQ(entry(0), title_root() + "\\");
  EXPECT_EQ(left, entry(0));
}

TEST_F(CandidateListTest, WalkUpNeverTriesAboveTheContainingFolder) {
  tree.make_folder("a");
  char buffer[PATH_CAPACITY];
  lstrcpyA(buffer, tree.path("a\\b\\c").c_str());
  EXPECT_EQ(walk_up_to_existing_folder(buffer), 0);  // C:\...\a\b does not exist: a is never tried
  EXPECT_EQ(std::string(buffer), tree.path("a\\b\\"));
  lstrcpyA(buffer, tree.path("a\\").c_str());
  EXPECT_EQ(walk_up_to_existing_folder(buffer), 1);
  EXPECT_EQ(std::string(buffer), tree.path("a"));
}

}  // namespace

namespace {

TEST(FormatListedEntry, AppendsTheMakerFolderOnlyWhenItFits) {
  CandidateFolder entry{};
  lstrcpyA(entry.path, "C:\\Plug-Ins\\");
  entry.append_subfolder = 1;
  char out[PATH_CAPACITY + 1];
  fill_canary(out);
  ASSERT_EQ(format_listed_entry(entry, out), 1);
  EXPECT_STREQ(out, "C:\\Plug-Ins\\Veltrane\\");
  entry.append_subfolder = 0;
  ASSERT_EQ(format_listed_entry(entry, out), 1);
  EXPECT_STREQ(out, "C:\\Plug-Ins\\");

  // 390 characters + "Veltrane\" (9) = 399: fits exactly; one more does not, and the
  // entry is refused whole rather than cut.
  std::string path = "C:\\" + std::string(386, 'p') + "\\";
  lstrcpyA(entry.path, path.c_str());
  entry.append_subfolder = 1;
  ASSERT_EQ(format_listed_entry(entry, out), 1);
  EXPECT_EQ(std::string(out), path + "Veltrane\\");
  EXPECT_TRUE(is_canary(out[PATH_CAPACITY]));
  lstrcpyA(entry.path, ("C:\\" + std::string(387, 'p') + "\\").c_str());
  EXPECT_EQ(format_listed_entry(entry, out), 0);
  EXPECT_STREQ(out, "");
  EXPECT_TRUE(is_canary(out[PATH_CAPACITY]));
}

}  // namespace
