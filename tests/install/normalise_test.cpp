#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "canary.h"
#include "carried_plugins.h"
#include "skip_list.h"

namespace {

struct NameCase {
  const char* resource_name;
  const char* file_name;
};

std::string normalised(const char* resource_name) {
  char buffer[OUTPUT_PATH_CAPACITY + 1];
  fill_canary(buffer);
  lstrcpynA(buffer, resource_name, OUTPUT_PATH_CAPACITY);
  size_t length = strlen(buffer);
  EXPECT_EQ(normalise_file_name(buffer), buffer);
  // Never longer than the input: the byte after the input's terminator is untouched.
  EXPECT_TRUE(is_canary(buffer[length + 1]));
  return buffer;
}

TEST(NormaliseFileName, TurnsEveryExampleResourceNameIntoItsFileName) {
  const NameCase rows[] = {
      {"TESSORA__ONDEL__DEMO.8BF", "TessoraOndelDemo.8bf"},
      {"MY_FILTER.8BF", "My Filter.8bf"},
      {"BIG-SKY_2.8BF", "Big-Sky 2.8bf"},
      {"X___Y.8BF", "X Y.8bf"},
      {"ROCK'N_ROLL.8BF", "Rock'n Roll.8bf"},
      {"V1.5_BETA.8BF", "V1.5 Beta.8bf"},
      {"7SEAS.8BF", "7Seas.8bf"},
      {"A9B.8BF", "A9B.8bf"},
      {"A8B.8BF", "A8b.8bf"},
      {"_A.8BF", " A.8bf"},
      {"__A.8BF", "A.8bf"},
      {"A:B.8BF", "Ab.8bf"},
      {"A::B.8BF", "A:b.8bf"},
      {"A:_B.8BF", "A_b.8bf"},
      {"ABC_", "Abc_"},
      {"Q", "Q"},
  };
  for (const NameCase& row : rows) {
    SCOPED_TRACE(row.resource_name);
    EXPECT_EQ(normalised(row.resource_name), row.file_name);
  }
}

TEST(NormaliseFileName, HandlesTheEndsOfTheText) {
  const NameCase rows[] = {
      {"", ""},
      {"q", "Q"},                 // a single character is only upper-cased
      {"AB__", "Ab"},             // "__" at the end: the text ends where it was
      {"A__", "A"},
      {"__", ""},
      {"A_", "A_"},               // the last character is never examined itself
      {"AB:", "Ab:"},
      {":A", "a"},                // the character after a colon keeps its case
      {"my_filter.8bf", "My Filter.8bf"},  // only A to Z are lower-cased first
      {"A-B(C)D+E", "A-B(C)D+E"},
  };
  for (const NameCase& row : rows) {
    SCOPED_TRACE(row.resource_name);
    EXPECT_EQ(normalised(row.resource_name), row.file_name);
  }
}

TEST(SkipList, ClearingGivesEveryEntryAnEmptyKeyAndItsFlag) {
  static SkipList list;
  memset(&list, 0xBD, sizeof list);
  clear_skip_list(list);
  for (const SkipKey& entry : list.entries) {
    EXPECT_EQ(entry.key[0], '\0');
    EXPECT_EQ(entry.flag, 1);
  }
}

TEST(SkipList, KeepsTwentyKeysInOrderAndDropsTheTwentyFirst) {
  static SkipList list;
  clear_skip_list(list);
  for (int i = 0; i < SKIP_CAPACITY + 1; ++i) add_skip_key(list, ("Key" + std::to_string(i)).c_str());
  for (int i = 0; i < SKIP_CAPACITY; ++i) EXPECT_EQ(std::string(list.entries[i].key), "Key" + std::to_string(i));
}

TEST(SkipList, StoresAKeyOfThreeHundredAndNinetyNineCharacters) {
  static SkipList list;
  clear_skip_list(list);
  std::string key(PATH_CAPACITY - 1, 'k');
  add_skip_key(list, key.c_str());
  EXPECT_EQ(std::string(list.entries[0].key), key);
  EXPECT_EQ(list.entries[1].key[0], '\0');
}

TEST(SkipList, IsEmptiedAtTheStartOfEveryAttempt) {
  static SkipList list;
  clear_skip_list(list);
  add_skip_key(list, "Ondel");
  add_skip_key(list, "Demo");
  clear_skip_list(list);
  for (const SkipKey& entry : list.entries) {
    EXPECT_EQ(entry.key[0], '\0');
    EXPECT_EQ(entry.flag, 1);
  }
}

}  // namespace
