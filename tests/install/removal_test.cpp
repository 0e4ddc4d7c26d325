// Removal without records: only files with a carried build's very bytes go, and a
// maker's sub-folder only when the removal left it empty.
#include "removal.h"

#include <utility>
#include <vector>

#include "crc32.h"
#include "handles.h"
#include "payload_test_support.h"

namespace {

HMODULE self() { return GetModuleHandleA(nullptr); }

class Removal : public PayloadTest {};

TEST_F(Removal, RemovesOnlyTheCarriedBytesAndOnlyTheMakerFoldersItEmptied) {
  const std::string alpha = carried_bytes(self(), "ALPHA.8BF"), filter = carried_bytes(self(), "MY_FILTER.8BF");
  const std::string alpha64 = carried_bytes(self(), "ALPHA.8BF", PAYLOAD_TYPE_X64);
  ASSERT_NE(alpha64, alpha);
  struct Row {
    const char* folder;
    std::vector<std::pair<std::string, std::string>> files;
    const char* left;  // what the folder holds afterwards; null: the folder is gone
  } rows[] = {
      {"Both\\Veltrane", {{"Alpha.8bf", alpha}, {"My Filter.8bf", filter}}, nullptr},
      {"X64\\Veltrane", {{"alpha.8bf", alpha64}, {"notes.txt", "mine"}}, "notes.txt"},
      {"Plain", {{"Alpha.8bf", alpha}}, ""},  // not a maker's sub-folder: it stays
      {"Other\\Veltrane", {{"Alpha.8bf", alpha + "x"}, {"Other.8bf", alpha}}, "Alpha.8bf|Other.8bf"},
      {"ReadOnly\\Veltrane", {{"Alpha.8bf", alpha}}, "Alpha.8bf"},
      {"Held\\Veltrane", {{"My Filter.8bf", filter}}, "My Filter.8bf"},
      {"Empty\\Veltrane", {}, ""},
  };
  static RemovalPlan removal_plan;
  begin_removal(removal_plan);
  for (const Row& row : rows) {
    tree.make_folder(row.folder);
    for (const auto& file : row.files) tree.write_file(std::string(row.folder) + "\\" + file.first, file.second);
    add_removal_folder(removal_plan, tree.path(row.folder).c_str());
  }
  add_removal_folder(removal_plan, (tree.path("Both\\VELTRANE") + "\\").c_str());  // the same folder again
  SetFileAttributesA(tree.path("ReadOnly\\Veltrane\\Alpha.8bf").c_str(), FILE_ATTRIBUTE_READONLY);
  FileHandle held(CreateFileA(tree.path("Held\\Veltrane\\My Filter.8bf").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.valid());

  EXPECT_EQ(removal_plan.folder_count, 7);
  EXPECT_EQ(plan_removal(removal_plan, self()), 4);
  EXPECT_EQ(list_folder(tree.path("Both\\Veltrane")), "Alpha.8bf|My Filter.8bf") << "nothing goes before the plan is carried out";
  char question[4000];
  compose_removal_question(removal_plan, question, sizeof question);
  EXPECT_NE(std::string(question).find(tree.path("Both\\Veltrane") + "\\\r\n    Alpha.8bf\r\n    My Filter.8bf"),
            std::string::npos) << question;

  EXPECT_EQ(carry_out_removal(removal_plan, self()), 2);  // the read-only and the held one
  for (const Row& row : rows) {
    SCOPED_TRACE(row.folder);
    if (row.left)
      EXPECT_EQ(list_folder(tree.path(row.folder)), row.left);
    else
      EXPECT_FALSE(folder_exists(tree.path(row.folder)));
  }
  EXPECT_EQ(removal_plan.removed_folder_count, 1);
  int kept = 0, not_removed = 0;
  for (int i = 0; i < removal_plan.count; ++i) {
    kept += removal_plan.entries[i].outcome == REMOVAL_KEPT;
    if (removal_plan.entries[i].outcome == REMOVAL_NOT_REMOVED) {
      ++not_removed;
      EXPECT_TRUE(removal_plan.entries[i].error == ERROR_ACCESS_DENIED ||
                  removal_plan.entries[i].error == ERROR_SHARING_VIOLATION)
          << removal_plan.entries[i].error;
    }
  }
  EXPECT_EQ(kept, 1);
  EXPECT_EQ(not_removed, 2);
}

// `bytes` with its last four bytes set so that its CRC-32 is `crc`: the checksum is
// affine in those bits, so they solve a linear system over the field of two elements.
std::string with_checksum(std::string bytes, DWORD crc) {
  auto checksum_with = [&bytes](DWORD tail) {
    memcpy(&bytes[bytes.size() - 4], &tail, 4);
    return crc32_update(0, bytes.data(), static_cast<DWORD>(bytes.size()));
  };
  DWORD base = checksum_with(0), column[32], tails[32], tail = 0;
  for (int i = 0; i < 32; ++i) {
    column[i] = checksum_with(1u << i) ^ base;
    tails[i] = 1u << i;
  }
  for (int bit = 0; bit < 32; ++bit) {  // each column reduced to bit `bit` alone
    for (int i = bit; i < 32; ++i)
      if (column[i] >> bit & 1) {
        std::swap(column[i], column[bit]);
        std::swap(tails[i], tails[bit]);
        break;
      }
    for (int i = 0; i < 32; ++i)
      if (i != bit && (column[i] >> bit & 1)) {
        column[i] ^= column[bit];
        tails[i] ^= tails[bit];
      }
  }
  for (int bit = 0; bit < 32; ++bit)
    if ((crc ^ base) >> bit & 1) tail ^= tails[bit];
  checksum_with(tail);
  return bytes;
}

// A file is judged by its length and checksum first, without decoding; only one that
// matches is decoded and compared byte for byte, when it is removed, and the stream is
// decoded at most once per folder (again only for a file before the last one decoded).
TEST_F(Removal, DecodesOnlyToConfirmAMatchAndAtMostOncePerFolder) {
  const std::string rock = carried_bytes(self(), "ROCK'N_ROLL.8BF"), demo = carried_bytes(self(), "TESSORA__ONDEL__DEMO.8BF");
  const std::string two = carried_bytes(self(), "TWO_ SPACES.8BF");
  std::string other = rock;
  other[0] = 'C';  // the same length, another checksum
  const std::string forged = with_checksum(other, crc32_update(0, rock.data(), static_cast<DWORD>(rock.size())));
  ASSERT_NE(forged, rock);
  ASSERT_EQ(crc32_update(0, forged.data(), static_cast<DWORD>(forged.size())),
            crc32_update(0, rock.data(), static_cast<DWORD>(rock.size())));
  using Files = std::vector<std::pair<std::string, std::string>>;
  struct Row {
    const char* what;
    std::vector<std::pair<std::string, Files>> folders;
    int planned, passes;
    const char* left;  // what the first folder holds afterwards
  } rows[] = {
      {"another checksum", {{"Other\\Veltrane", {{"Rock'n Roll.8bf", other}}}}, 0, 0, "Rock'n Roll.8bf"},
      {"the checksum, other bytes", {{"Forged\\Veltrane", {{"Rock'n Roll.8bf", forged}}}}, 1, 1, "Rock'n Roll.8bf"},
      {"two folders, the second's file earlier in the stream",
       {{"Both\\Veltrane", {{"Two  Spaces.8bf", two}, {"TessoraOndelDemo.8bf", demo}}},
        {"Rock\\Veltrane", {{"Rock'n Roll.8bf", rock}}}},
       3, 2, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    static RemovalPlan removal_plan;
    begin_removal(removal_plan);
    for (const auto& place : row.folders) {
      tree.make_folder(place.first);
      for (const auto& file : place.second) tree.write_file(place.first + "\\" + file.first, file.second);
      add_removal_folder(removal_plan, tree.path(place.first).c_str());
    }
    EXPECT_EQ(plan_removal(removal_plan, self()), row.planned);
    EXPECT_EQ(carry_out_removal(removal_plan, self()), 0);
    EXPECT_EQ(removal_plan.passes, row.passes);
    const std::string first = tree.path(row.folders[0].first);
    if (row.left)
      EXPECT_EQ(list_folder(first), row.left);
    else
      EXPECT_FALSE(folder_exists(first));
  }
}

}  // namespace
