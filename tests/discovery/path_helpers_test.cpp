#include "path_helpers.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "canary.h"
#include "letters.h"
#include "temp_tree.h"

namespace {

struct TextCase {
  const char* input;
  const char* expected;
};

// Copies a literal into a path buffer, runs `op` on it and returns the result text.
template <typename Op>
std::string on_buffer(const char* input, Op op) {
  char buffer[PATH_CAPACITY + 1];
  fill_canary(buffer);
  lstrcpynA(buffer, input, PATH_CAPACITY);
  op(buffer);
  EXPECT_TRUE(is_canary(buffer[PATH_CAPACITY])) << input;
  return buffer;
}

std::vector<std::string> read_all_lines(const std::string& file_path, int* last_result) {
  std::vector<std::string> lines;
  DiskReader file;
  EXPECT_EQ(open_disk_reader(file, file_path.c_str(), 1), 1);
  char buffer[PATH_CAPACITY];
  while ((*last_result = read_line(file, buffer)) == 1) lines.push_back(buffer);
  return lines;
}

TEST(ReadLine, ReturnsEveryTerminatedLineAndDropsAnUnterminatedLast) {
  TempTree tree;
  int last = -1;
  auto lines = read_all_lines(tree.write_file("a.txt", "first\r\n\nthird\nno end"), &last);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "first");  // text mode turns CR LF into a line end
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "third");
  EXPECT_EQ(last, 0);
}

// As a C runtime text stream: a lone CR stays, CR LF across the reader's 512-byte
// buffers is still one line end, and Ctrl-Z ends the text.
TEST(ReadLine, ReadsAsATextStreamDoes) {
  TempTree tree;
  int last = -1;
  std::string text = "a\rb\n" + std::string(507, 'x') + "\r\nafter\nend\x1a\nlost\n";  // the CR is byte 512
  auto lines = read_all_lines(tree.write_file("t.txt", text), &last);
  ASSERT_EQ(lines.size(), 5u);  // "end" has no line end before the Ctrl-Z, and "lost" is after it
  EXPECT_EQ(lines[0], "a\rb");
  EXPECT_EQ(lines[3], std::string(107, 'x'));  // 507 = 2 x 200 + 107
  EXPECT_EQ(lines[4], "after");
  EXPECT_EQ(last, 0);
}

TEST(ReadLine, SplitsLongLinesIntoPiecesOf200) {
  TempTree tree;
  std::string line(200, 'a');
  line += std::string(200, 'b') + std::string(50, 'c');
  int last = -1;
  auto lines = read_all_lines(tree.write_file("long.txt", line + "\n" + std::string(200, 'd') + "\n"), &last);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], std::string(200, 'a'));
  EXPECT_EQ(lines[1], std::string(200, 'b'));
  EXPECT_EQ(lines[2], std::string(50, 'c'));
  EXPECT_EQ(lines[3], std::string(200, 'd'));
  EXPECT_EQ(lines[4], "");  // the line end after exactly 200 characters starts an empty piece
}

TEST(ReadLine, StoresAtMost201BytesOfTheBuffer) {
  TempTree tree;
  DiskReader file;
  ASSERT_EQ(open_disk_reader(file, tree.write_file("x.txt", std::string(300, 'x') + "\n").c_str(), 1), 1);
  char buffer[PATH_CAPACITY];
  fill_canary(buffer);
  EXPECT_EQ(read_line(file, buffer), 1);
  EXPECT_EQ(buffer[200], '\0');
  EXPECT_TRUE(is_canary(buffer[201]));
}

TEST(ReadLine, BinaryJunkWithoutLineEndsEndsCleanly) {
  TempTree tree;
  std::string junk;
  for (int i = 0; i < 5000; ++i) {
    char byte = static_cast<char>((i * 37 + 11) % 256);
    if (byte == '\n' || byte == '\x1a') byte = 'x';  // no line end; Ctrl-Z would end a text stream early
    junk += byte;
  }
  int last = -1;
  auto lines = read_all_lines(tree.write_file("junk.bin", junk), &last);
  EXPECT_EQ(last, 0);
  for (const std::string& piece : lines) EXPECT_LE(piece.size(), 200u);
}

TEST(EnsureTrailingSeparator, AppendsOnlyWhenMissingAndNeverPastTheBuffer) {
  const TextCase cases[] = {{"C:\\x", "C:\\x\\"}, {"C:\\x\\", "C:\\x\\"}, {"C:\\", "C:\\"}};
  for (const TextCase& row : cases) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(on_buffer(row.input, [](char* p) { EXPECT_EQ(ensure_trailing_separator(p), p); }), row.expected);
  }
  std::string full(PATH_CAPACITY - 1, 'a');
  EXPECT_EQ(on_buffer(full.c_str(), [](char* p) { EXPECT_EQ(ensure_trailing_separator(p), nullptr); }), full);
}

TEST(StripLeadingNonletters, RemovesEverythingBeforeTheFirstLetter) {
  const TextCase cases[] = {
      {"\"  C:\\x", "C:\\x"}, {"123", ""}, {"abc", "abc"}, {"", ""}, {"1:\\x", "x"}, {"\"C:\\a b\"", "C:\\a b\""}};
  for (const TextCase& row : cases) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(on_buffer(row.input, strip_leading_nonletters), row.expected);
  }
}

TEST(StripLeadingNonletters, CutsALongTextTo390CharactersFirst) {
  std::string input = std::string(385, ' ') + "C:\\abcdefgh";
  EXPECT_EQ(on_buffer(input.c_str(), strip_leading_nonletters), "C:\\ab");
  std::string starts_with_letter = "C" + std::string(395, 'x');
  EXPECT_EQ(on_buffer(starts_with_letter.c_str(), strip_leading_nonletters), starts_with_letter);
}

TEST(CutAfterLast, NeverConsidersTheFirstOrTheLastCharacter) {
  const TextCase cases[] = {{"C:\\dir\\", "C:\\"},
                            {"C:\\dir\\app.exe", "C:\\dir\\"},
                            {"\"C:\\Host\\host.exe\" \"%1\"", "\"C:\\Host\\"},
                            {"\\abc", "\\abc"},
                            {"abc", "abc"},
                            {"", ""}};
  for (const TextCase& row : cases) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(on_buffer(row.input, [](char* p) { cut_after_last(p, '\\'); }), row.expected);
  }
}

TEST(JoinPath, JoinsWithOneSeparator) {
  char buffer[PATH_CAPACITY];
  EXPECT_EQ(join_path(buffer, "plugin", "C:\\Host\\"), buffer);
  EXPECT_STREQ(buffer, "C:\\Host\\plugin");
  EXPECT_EQ(join_path(buffer, "x.ini", "C:\\windows"), buffer);
  EXPECT_STREQ(buffer, "C:\\windows\\x.ini");
  lstrcpyA(buffer, "C:\\a");
  EXPECT_EQ(join_path(buffer, "b", nullptr), buffer);
  EXPECT_STREQ(buffer, "C:\\a\\b");
}

TEST(JoinPath, RefusesAResultLongerThanTheBuffer) {
  std::string base(390, 'b');
  std::string name(9, 'n');  // base + "\" + name = 400 characters: one too many
  std::string result = on_buffer("", [&](char* p) { EXPECT_EQ(join_path(p, name.c_str(), base.c_str()), nullptr); });
  EXPECT_EQ(result, "");
  name.pop_back();  // 399 characters fit exactly
  result = on_buffer("", [&](char* p) { EXPECT_EQ(join_path(p, name.c_str(), base.c_str()), p); });
  EXPECT_EQ(result.size(), 399u);
}

TEST(ParentPattern, GoesOneFolderUpButNeverAboveTheDrive) {
  const TextCase cases[] = {{"C:\\a\\b\\*", "C:\\a\\*"}, {"C:\\a\\*", "C:\\*"}, {"C:\\*", "C:\\*"},
                            {"C:\\a\\b\\", "C:\\a\\*"},   {"C:", "C:\\*"},     {"C:\\a", "C:\\*"}};
  for (const TextCase& row : cases) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(on_buffer(row.input, parent_pattern), row.expected);
  }
  EXPECT_EQ(on_buffer("C:\\a\\*", [](char* p) { parent_pattern(parent_pattern(p)); }), "C:\\*");
}

TEST(ChildPattern, EntersANamedFolder) {
  const TextCase cases[] = {{"C:\\a\\*", "C:\\a\\b\\*"}, {"C:\\*", "C:\\b\\*"}, {"nothing", "nothing"}};
  for (const TextCase& row : cases) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(on_buffer(row.input, [](char* p) { child_pattern(p, "b"); }), row.expected);
  }
}

TEST(ChildPattern, RefusesAPatternLongerThanTheBuffer) {
  std::string pattern = "C:\\" + std::string(390, 'a') + "\\*";  // 395 characters
  std::string fits(3, 'n'), too_long(4, 'n');  // C:\aaa\nnn\* is 399 characters, one more is 400
  EXPECT_EQ(on_buffer(pattern.c_str(), [&](char* p) { EXPECT_EQ(child_pattern(p, fits.c_str()), p); }).size(), 399u);
  EXPECT_EQ(on_buffer(pattern.c_str(), [&](char* p) { EXPECT_EQ(child_pattern(p, too_long.c_str()), nullptr); }),
            pattern);
}

TEST(EndsStartsWithLower, LowerCaseOnlyTheFirstArgument) {
  struct Row {
    const char* text;
    const char* affix;
    int ends, starts;
  } rows[] = {
      {"Photoshop.INI", ".ini", 1, 0},
      {"Fireworks 4 Preferences.txt", "fireworks 4 preferences", 0, 1},
      {"photoshop.ini", ".INI", 0, 0},  // the second text is taken as it stands
      {"abc", "", 1, 1},
      {"ab", "abc", 0, 0},
      {"xphotos.ini", "photos", 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.text) + " / " + row.affix);
    EXPECT_EQ(ends_with_lower(row.text, row.affix), row.ends);
    EXPECT_EQ(starts_with_lower(row.text, row.affix), row.starts);
  }
}

TEST(EndsStartsWithLower, LookAtTheWholeOfALongText) {
  std::string text = "Photos" + std::string(600, 'x') + ".INI";
  EXPECT_EQ(ends_with_lower(text.c_str(), ".ini"), 1);
  EXPECT_EQ(starts_with_lower(text.c_str(), "photos"), 1);
}

}  // namespace
