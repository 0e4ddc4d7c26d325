// The form a plug-in is carried in: one byte changed anywhere in a carried file is
// found before anything is written; bytes that no longer unpack to what was recorded
// are found before the file is complete; a sink's refusal ends the unpacking.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "carried_file.h"
#include "carried_plugins.h"
#include "crc32.h"

namespace {

// The resource bytes of a carried file of this test program, as they are.
std::string resource_bytes(const char* name, WORD type = PAYLOAD_TYPE) {
  const void* bytes = nullptr;
  DWORD size = 0;
  if (load_payload(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(type), name, &bytes, &size) != ERROR_SUCCESS)
    return {};
  return std::string(static_cast<const char*>(bytes), size);
}

struct Unpacked {
  std::string bytes;
  DWORD refusal;  // what the sink answers
  int calls;
};

DWORD collect(void* context, const unsigned char* bytes, DWORD size) {
  Unpacked& unpacked = *static_cast<Unpacked*>(context);
  unpacked.bytes.append(reinterpret_cast<const char*>(bytes), size);
  ++unpacked.calls;
  return unpacked.refusal;
}

// Sets the header's check word (bytes 16 to 19) to match the rest again.
void recheck(std::string& carried) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(carried.data());
  DWORD check = crc32_update(crc32_update(0, bytes, 16), bytes + CARRIED_HEADER_SIZE,
                             static_cast<DWORD>(carried.size() - CARRIED_HEADER_SIZE));
  for (int i = 0; i < 4; ++i) carried[16 + i] = static_cast<char>(check >> (8 * i));
}

std::string alpha_bytes() {  // tests/install/data/alpha.bin: 0 to 255, twice
  std::string bytes;
  for (int i = 0; i < 512; ++i) bytes += static_cast<char>(i & 0xff);
  return bytes;
}

TEST(CarriedFile, AFileThatCompressesIsCarriedInACabinetAndOneThatDoesNotStored) {
  CarriedFile alpha, filter;
  std::string alpha_carried = resource_bytes("ALPHA.8BF"), filter_carried = resource_bytes("MY_FILTER.8BF");
  ASSERT_EQ(open_carried_file(alpha_carried.data(), static_cast<DWORD>(alpha_carried.size()), alpha), ERROR_SUCCESS);
  ASSERT_EQ(open_carried_file(filter_carried.data(), static_cast<DWORD>(filter_carried.size()), filter),
            ERROR_SUCCESS);
  EXPECT_EQ(alpha.method, static_cast<DWORD>(CARRIED_CABINET));
  EXPECT_LT(alpha.data_size, 512u);
  EXPECT_EQ(filter.method, static_cast<DWORD>(CARRIED_STORED));
  Unpacked unpacked = {"", ERROR_SUCCESS, 0};
  EXPECT_EQ(unpack_carried_file(alpha, collect, &unpacked), ERROR_SUCCESS);
  EXPECT_EQ(unpacked.bytes, alpha_bytes());
}

TEST(CarriedFile, FindsEveryDamageAndPassesOnNoMoreThanTheRecordedLength) {
  struct Row {
    const char* what;
    const char* name;
    size_t at;       // the byte changed (from the end when `from_end`)
    bool from_end;
    bool rechecked;  // the check word made to match again: damage only unpacking finds
    DWORD opened, unpacked;
  } rows[] = {
      {"magic", "ALPHA.8BF", 0, false, false, ERROR_CRC, 0},
      {"method", "ALPHA.8BF", 4, false, false, ERROR_CRC, 0},
      {"length", "ALPHA.8BF", 8, false, false, ERROR_CRC, 0},
      {"checksum", "ALPHA.8BF", 12, false, false, ERROR_CRC, 0},
      {"check word", "MY_FILTER.8BF", 17, false, false, ERROR_CRC, 0},
      {"a stored byte", "MY_FILTER.8BF", 1, true, false, ERROR_CRC, 0},
      {"a cabinet byte", "ALPHA.8BF", 1, true, false, ERROR_CRC, 0},
      {"a stored byte, rechecked", "MY_FILTER.8BF", 1, true, true, ERROR_SUCCESS, ERROR_CRC},
      {"a cabinet byte, rechecked", "ALPHA.8BF", 40, true, true, ERROR_SUCCESS, ERROR_CRC},
      {"a shorter length, rechecked", "ALPHA.8BF", 9, false, true, ERROR_SUCCESS, ERROR_CRC},
      {"a longer length, rechecked", "ALPHA.8BF", 10, false, true, ERROR_SUCCESS, ERROR_CRC},
      {"an unknown method, rechecked", "ALPHA.8BF", 5, false, true, ERROR_CRC, 0},
      {"a stored length, rechecked", "MY_FILTER.8BF", 8, false, true, ERROR_CRC, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::string carried = resource_bytes(row.name);
    ASSERT_GT(carried.size(), 60u);
    size_t at = row.from_end ? carried.size() - row.at : row.at;
    carried[at] = static_cast<char>(carried[at] ^ (row.at == 9 ? 0x01 : 0x02));  // 9: 512 becomes 768
    if (row.rechecked) recheck(carried);
    CarriedFile file;
    EXPECT_EQ(open_carried_file(carried.data(), static_cast<DWORD>(carried.size()), file), row.opened);
    if (row.opened != ERROR_SUCCESS) continue;
    Unpacked unpacked = {"", ERROR_SUCCESS, 0};
    EXPECT_EQ(unpack_carried_file(file, collect, &unpacked), row.unpacked);
    EXPECT_LE(unpacked.bytes.size(), file.size);
  }
  CarriedFile file;
  std::string cut = resource_bytes("MY_FILTER.8BF");
  EXPECT_EQ(open_carried_file(cut.data(), CARRIED_HEADER_SIZE - 1, file), static_cast<DWORD>(ERROR_CRC));
}

// The demo unpacks in several blocks: after the first is refused, no other may reach
// the sink (its bytes would land where the refused ones belong).
TEST(CarriedFile, ASinksRefusalEndsTheUnpacking) {
  for (const char* name : {"TESSORA__ONDEL__DEMO.8BF", "MY_FILTER.8BF"}) {
    SCOPED_TRACE(name);
    std::string carried = resource_bytes(name);
    CarriedFile file;
    ASSERT_EQ(open_carried_file(carried.data(), static_cast<DWORD>(carried.size()), file), ERROR_SUCCESS);
    Unpacked unpacked = {"", ERROR_DISK_FULL, 0};
    EXPECT_EQ(unpack_carried_file(file, collect, &unpacked), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(unpacked.calls, 1);
  }
}

}  // namespace
