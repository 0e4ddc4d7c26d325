// The form a plug-in is carried in: a file stored as it is or a record in the one
// compressed stream. One byte changed anywhere is found before anything is written;
// a damaged stream damages every plug-in of the set in it, and the log names why;
// the decoder never reads or writes outside its buffers, whatever the stream holds;
// a sink's refusal ends the unpacking.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "branch_filter.h"
#include "canary.h"
#include "crc32.h"
#include "payload_test_support.h"

namespace {

HMODULE self() { return GetModuleHandleA(nullptr); }

// The resource bytes of a carried file (or the stream) of this test program, as they are.
std::string resource_bytes(LPCSTR name, WORD type = PAYLOAD_TYPE) {
  const void* bytes = nullptr;
  DWORD size = 0;
  if (load_payload(self(), MAKEINTRESOURCEA(type), name, &bytes, &size) != ERROR_SUCCESS) return {};
  return std::string(static_cast<const char*>(bytes), size);
}

DWORD word_in(const std::string& bytes, size_t at) {
  DWORD word;
  memcpy(&word, bytes.data() + at, 4);
  return word;
}
void set_word(std::string& bytes, size_t at, DWORD word) { memcpy(&bytes[at], &word, 4); }

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

// Sets a carried file's check word (bytes 16 to 19) to match the rest again.
void recheck_file(std::string& carried) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(carried.data());
  set_word(carried, 16, crc32_update(crc32_update(0, bytes, 16), bytes + CARRIED_HEADER_SIZE,
                                     static_cast<DWORD>(carried.size() - CARRIED_HEADER_SIZE)));
}

// Sets the stream's two checksums to match the rest again.
void recheck_stream(std::string& stream) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(stream.data());
  DWORD index = word_in(stream, 24), start = STREAM_HEADER_SIZE + index;
  set_word(stream, 20, crc32_update(0, bytes + start, static_cast<DWORD>(stream.size() - start)));
  set_word(stream, 28, crc32_update(crc32_update(0, bytes, 28), bytes + STREAM_HEADER_SIZE, index));
}

TEST(CarriedFile, AFileIsCarriedStoredOrAsARecordInTheStream) {
  CarriedFile stored, streamed;
  CarriedStream stream = {};
  ASSERT_EQ(load_carried_file(self(), MAKEINTRESOURCEA(PAYLOAD_TYPE), "MY_FILTER.8BF", stored, stream), ERROR_SUCCESS);
  ASSERT_EQ(load_carried_file(self(), MAKEINTRESOURCEA(PAYLOAD_TYPE), "ROCK'N_ROLL.8BF", streamed, stream),
            ERROR_SUCCESS);
  EXPECT_EQ(stored.method, static_cast<DWORD>(CARRIED_STORED));
  EXPECT_EQ(streamed.method, static_cast<DWORD>(CARRIED_STREAM));
  EXPECT_EQ(streamed.data_size, static_cast<DWORD>(CARRIED_RECORD_SIZE));
  EXPECT_EQ(streamed.stream, &stream);
  Unpacked unpacked = {"", ERROR_SUCCESS, 0};
  EXPECT_EQ(unpack_carried_file(streamed, collect, &unpacked), ERROR_SUCCESS);
  EXPECT_EQ(unpacked.bytes, "carried as Rock'n Roll.8bf\n");
  close_carried_stream(stream);
}

TEST(CarriedFile, FindsEveryDamageOfAFileAndPassesOnNoMoreThanTheRecordedLength) {
  struct Row {
    const char* what;
    const char* name;
    size_t at;       // the byte changed (from the end when `from_end`)
    bool from_end;
    bool rechecked;  // the check word made to match again: damage only later steps find
    DWORD loaded, unpacked;
  } rows[] = {
      {"magic", "MY_FILTER.8BF", 0, false, false, ERROR_CRC, 0},
      {"method", "ROCK'N_ROLL.8BF", 4, false, false, ERROR_CRC, 0},
      {"length", "ROCK'N_ROLL.8BF", 8, false, false, ERROR_CRC, 0},
      {"checksum", "ROCK'N_ROLL.8BF", 12, false, false, ERROR_CRC, 0},
      {"check word", "MY_FILTER.8BF", 17, false, false, ERROR_CRC, 0},
      {"a stored byte", "MY_FILTER.8BF", 1, true, false, ERROR_CRC, 0},
      {"a record byte", "ROCK'N_ROLL.8BF", 1, true, false, ERROR_CRC, 0},
      {"a stored byte, rechecked", "MY_FILTER.8BF", 1, true, true, ERROR_SUCCESS, ERROR_CRC},
      {"a shorter length, rechecked", "ROCK'N_ROLL.8BF", 8, false, true, ERROR_SUCCESS, ERROR_CRC},
      {"a longer length, rechecked", "ROCK'N_ROLL.8BF", 9, false, true, ERROR_SUCCESS, ERROR_CRC},
      {"the checksum, rechecked", "ROCK'N_ROLL.8BF", 12, false, true, ERROR_SUCCESS, ERROR_CRC},
      {"an unknown method, rechecked", "ROCK'N_ROLL.8BF", 5, false, true, ERROR_CRC, 0},
      {"a stored length, rechecked", "MY_FILTER.8BF", 8, false, true, ERROR_CRC, 0},
      {"an offset past the stream, rechecked", "ROCK'N_ROLL.8BF", 23, false, true, ERROR_CRC, 0},
      {"an unknown filter, rechecked", "ROCK'N_ROLL.8BF", 26, false, true, ERROR_CRC, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::string carried = resource_bytes(row.name);
    ASSERT_GE(carried.size(), 28u);
    size_t at = row.from_end ? carried.size() - row.at : row.at;
    carried[at] = static_cast<char>(carried[at] ^ (row.at == 9 ? 0x01 : 0x02));
    if (row.rechecked) recheck_file(carried);
    CarriedStream stream = {};
    CarriedFile file;
    DWORD loaded = open_carried_file(carried.data(), static_cast<DWORD>(carried.size()), file);
    if (loaded == ERROR_SUCCESS && file.method == CARRIED_STREAM) {
      loaded = load_carried_file(self(), MAKEINTRESOURCEA(PAYLOAD_TYPE), "ROCK'N_ROLL.8BF", file, stream);  // the stream
      ASSERT_EQ(open_carried_file(carried.data(), static_cast<DWORD>(carried.size()), file), ERROR_SUCCESS);
      file.stream = &stream;
      if (!stream_holds(stream, file.offset, file.size, file.filter)) loaded = ERROR_CRC;
    }
    EXPECT_EQ(loaded, row.loaded);
    if (loaded == ERROR_SUCCESS) {
      Unpacked unpacked = {"", ERROR_SUCCESS, 0};
      EXPECT_EQ(unpack_carried_file(file, collect, &unpacked), row.unpacked);
      EXPECT_LE(unpacked.bytes.size(), file.size);
    }
    close_carried_stream(stream);
  }
  CarriedFile file;
  std::string cut = resource_bytes("MY_FILTER.8BF");
  EXPECT_EQ(open_carried_file(cut.data(), CARRIED_HEADER_SIZE - 1, file), static_cast<DWORD>(ERROR_CRC));
}

// The stream of this program, damaged in place for one install: every plug-in of the
// set in the stream is reported damaged, the stored ones are written only when the
// damage shows first while decoding, and the log names the reason.
class CarriedStreamDamage : public PayloadTest {};

TEST_F(CarriedStreamDamage, EveryPlugInOfTheSetInADamagedStreamIsDamagedAndTheLogSaysWhy) {
  const void* resource = nullptr;
  DWORD size = 0;
  ASSERT_EQ(load_payload(self(), MAKEINTRESOURCEA(PAYLOAD_TYPE_STREAM), MAKEINTRESOURCEA(PAYLOAD_STREAM_ID), &resource,
                         &size),
            ERROR_SUCCESS);
  const std::string original(static_cast<const char*>(resource), size);
  const DWORD index = word_in(original, 24), decoded = word_in(original, 12);
  struct Row {
    const char* what;
    size_t at;  // the word changed
    DWORD word;
    bool rechecked;
    const char* reason;
    const char* written;
  } rows[] = {
      {"magic", 0, 0x31534357, false, "the stream's header", ""},
      {"a header byte", 8, decoded + 1, false, "the stream's checksum", ""},
      {"a compressed byte", STREAM_HEADER_SIZE + index + 100, 0, false, "the stream's checksum", ""},
      {"other properties", 4, 3 | 0 << 8 | 1 << 16, true, "the stream's header", ""},
      {"a dictionary over 64 MB", 8, (64u << 20) + 1, true, "the stream's dictionary", ""},
      {"a dictionary smaller than the stream", 8, decoded - 1, true, "the stream's dictionary", ""},
      {"a longer compressed length", 16, size - STREAM_HEADER_SIZE - index + 1, true, "the stream's length", ""},
      {"a compressed byte, rechecked", STREAM_HEADER_SIZE + index + 8, 0x5a5a5a5a, true, "the stream's contents",
       "Alpha.8bf|My Filter.8bf"},
  };
  DWORD old_protection;
  ASSERT_TRUE(VirtualProtect(const_cast<void*>(resource), size, PAGE_READWRITE, &old_protection));
  char* bytes = static_cast<char*>(const_cast<void*>(resource));
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::string damaged = original;
    set_word(damaged, row.at, row.word);
    if (row.rechecked) recheck_stream(damaged);
    memcpy(bytes, damaged.data(), size);
    choose_folder("row" + std::to_string(n++));
    std::string log_path = folder + "\\..\\setup" + std::to_string(n) + ".log";
    InstallLog log = {};
    ASSERT_EQ(open_install_log(log, log_path.c_str()), 1);
    InstallTarget target = {self(), chosen_folder, ARCH_X86, &skip_list, &log};
    EXPECT_EQ(install_payloads(target, payload_failures), 6);
    close_install_log(log);
    EXPECT_EQ(failure_summary(), "lower start_x-Y z.8bf=23|CAPS.8BF=23|Rock'n Roll.8bf=23|TessoraOndelDemo.8bf=23|"
                                 "Two  Spaces.8bf=23|V2.0 (beta)+Extra.8bf=23");
    EXPECT_EQ(list_folder(folder), row.written);
    EXPECT_NE(read_file(log_path).find(std::string("damaged: ") + row.reason + "\r\n"), std::string::npos)
        << read_file(log_path);
  }
  memcpy(bytes, original.data(), size);
  VirtualProtect(const_cast<void*>(resource), size, old_protection, &old_protection);
}

// Builds raw LZMA streams bit by bit for the decoder's tests: every bit the streams
// below hold has a probability that is used for the first time, so each is coded at
// even odds (1024), as the decoder starts every probability.
class StreamBuilder {
public:
  void bit(unsigned value) {
    DWORD bound = (range_ >> 11) * 1024;
    if (value) {
      low_ += bound;
      range_ -= bound;
    } else {
      range_ = bound;
    }
    while (range_ < (1u << 24)) {
      range_ <<= 8;
      shift();
    }
  }
  void bits(unsigned value, int count) {  // highest first, as bit trees are read
    while (count--) bit((value >> count) & 1);
  }
  std::string finish() {
    for (int i = 0; i < 5; ++i) shift();
    return out_;
  }

private:
  void shift() {  // the top byte of `low` goes out once no carry can change it
    if (low_ < 0xFF000000u || low_ > 0xFFFFFFFFu) {
      unsigned carry = static_cast<unsigned>(low_ >> 32);
      for (unsigned char next = cache_; pending_; --pending_, next = 0xFF) out_ += static_cast<char>(next + carry);
      cache_ = static_cast<unsigned char>(low_ >> 24);
    }
    ++pending_;
    low_ = (low_ & 0x00FFFFFF) << 8;
  }
  unsigned long long low_ = 0;
  DWORD range_ = 0xFFFFFFFF;
  unsigned char cache_ = 0;
  unsigned pending_ = 1;
  std::string out_;
};

// 'A' (a literal), then a match of `length` less 2 (0 to 7) at distance `slot` + 1 (0 to 3).
std::string literal_then_match(unsigned length, unsigned slot) {
  StreamBuilder builder;
  builder.bit(0);           // a literal
  builder.bits(0x41, 8);    // 'A'
  builder.bit(1);           // a match
  builder.bit(0);           // a new distance
  builder.bit(0);           // a short length
  builder.bits(length, 3);
  builder.bits(slot, 6);
  return builder.finish();
}

std::string repeat_first() {
  StreamBuilder builder;
  builder.bit(1);  // a match
  builder.bit(1);  // of an earlier distance, before any byte
  return builder.finish();
}

// Decodes `compressed` into `size` bytes, with the compressed bytes ending where an
// inaccessible page starts and a canary after the dictionary: any read or write
// past either ends the test with a fault or a changed canary.
int decode_guarded(const std::string& compressed, DWORD size, std::string* decoded) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  DWORD page = system.dwPageSize, span = (static_cast<DWORD>(compressed.size()) + page - 1) / page * page;
  unsigned char* input =
      static_cast<unsigned char*>(VirtualAlloc(nullptr, span + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  DWORD old_protection;
  EXPECT_TRUE(VirtualProtect(input + span, page, PAGE_NOACCESS, &old_protection));
  unsigned char* start = input + span - compressed.size();
  memcpy(start, compressed.data(), compressed.size());
  std::string probabilities(LZMA_PROBABILITIES * 2, '\0');
  std::string dictionary(size + 16, static_cast<char>(CANARY));
  LzmaDecoder decoder = {};
  decoder.probabilities = reinterpret_cast<unsigned short*>(&probabilities[0]);
  decoder.dictionary = reinterpret_cast<unsigned char*>(&dictionary[0]);
  decoder.in = start;
  decoder.in_end = start + compressed.size();
  decoder.size = size;
  int sound = lzma_begin(decoder);
  while (sound && decoder.total < size)
    sound = lzma_decode(decoder, decoder.total + 7000 < size ? decoder.total + 7000 : size);
  EXPECT_EQ(dictionary.substr(size), std::string(16, static_cast<char>(CANARY)));
  EXPECT_LE(decoder.total, size);
  VirtualFree(input, 0, MEM_RELEASE);
  *decoded = dictionary.substr(0, decoder.total);
  return sound;
}

TEST(LzmaDecoder, StopsAtEveryDamageWithinItsBuffers) {
  const std::string stream = resource_bytes(MAKEINTRESOURCEA(PAYLOAD_STREAM_ID), PAYLOAD_TYPE_STREAM);
  ASSERT_GT(stream.size(), 1000u);
  const DWORD size = word_in(stream, 12);
  const std::string compressed = stream.substr(STREAM_HEADER_SIZE + word_in(stream, 24));
  std::string flipped = compressed;
  flipped[compressed.size() / 2] ^= 0x10;
  std::string first_byte = literal_then_match(0, 0);
  first_byte[0] = 1;
  struct Row {
    const char* what;
    std::string compressed;
    DWORD size;
    int sound;
    const char* decoded;  // what came out, when known
  } rows[] = {
      {"the stream as built", compressed, size, 1, nullptr},
      {"a literal and a match of 2 at distance 1", literal_then_match(0, 0), 3, 1, "AAA"},
      {"a distance beyond what was decoded", literal_then_match(0, 1), 3, 0, "A"},
      {"a repeat before the first byte", repeat_first(), 3, 0, ""},
      {"a match past the recorded length", literal_then_match(1, 0), 3, 0, "A"},
      {"a first byte other than 0", first_byte, 3, 0, ""},
      {"the stream cut in half", compressed.substr(0, compressed.size() / 2), size, 0, nullptr},
      {"the stream cut to 4 bytes", compressed.substr(0, 4), size, 0, ""},
      {"a longer recorded length: its end marker is not a distance", compressed, size + 4096, 0, nullptr},
      {"a byte changed", flipped, size, -1, nullptr},  // stops, or decodes to other bytes
  };
  std::string whole;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::string decoded;
    int sound = decode_guarded(row.compressed, row.size, &decoded);
    if (row.sound >= 0) {
      EXPECT_EQ(sound, row.sound);
    } else {
      EXPECT_TRUE(!sound || decoded != whole);
    }
    if (row.decoded) {
      EXPECT_EQ(decoded, row.decoded);
    }
    if (whole.empty()) whole = decoded;
  }
}

// The build's x86 filter, as resources/packer/pack_plugin.cpp applies it, and its ARM64 one.
void filter_forward(DWORD filter, std::string& bytes) {
  for (size_t i = 0; filter == BRANCH_FILTER_X86 && i + 4 < bytes.size();) {
    if ((static_cast<unsigned char>(bytes[i]) & 0xFE) != 0xE8) {
      ++i;
      continue;
    }
    DWORD operand = word_in(bytes, i + 1), top = operand >> 24;
    DWORD target = (operand + static_cast<DWORD>(i) + 5) & 0x1FFFFFF;
    if (!top || top == 0xFF) set_word(bytes, i + 1, (target ^ 0x1000000) - 0x1000000);
    i += 5;
  }
  for (size_t i = 0; filter == BRANCH_FILTER_ARM64 && i + 4 <= bytes.size(); i += 4) {
    DWORD word = word_in(bytes, i), at = static_cast<DWORD>(i);
    if ((word >> 26) == 0x25) {
      word = 0x94000000 | ((word + (at >> 2)) & 0x03FFFFFF);
    } else if ((word & 0x9F000000) == 0x90000000) {
      DWORD page = (((word >> 29) & 3) | ((word >> 3) & 0x1FFFFC)) + (at >> 12);
      word = (word & 0x9F00001F) | (page & 3) << 29 | (page & 0x1FFFFC) << 3;
    }
    set_word(bytes, i, word);
  }
}

// Undone a few bytes at a time, held-back bytes handed in again, the filters give the
// file back, also where an instruction is split between two blocks.
TEST(BranchFilter, UndoesTheBuildsFilterInBlocksOfAnySize) {
  std::string x86;
  for (DWORD i = 0; i < 3000; ++i) {
    DWORD mixed = i * 2654435761u;
    x86 += static_cast<char>(i % 7 == 0 ? 0xE8 : i % 11 == 0 ? 0xE9 : (mixed >> 24) % 3 ? 0 : mixed >> 16);
  }
  // An E8 whose operand (top byte FE: left as it is) holds a call that is made
  // absolute and carries into that top byte: tested again after the change, the first
  // E8 would be taken for one made absolute.
  for (DWORD i = 0; i < 64; ++i) x86 += std::string("\xE8\xE8", 2) + static_cast<char>(0xC0 + i) + "\xFF\xFE" + '\0';
  std::string arm64;
  for (DWORD i = 0; i < 6000; ++i) {
    DWORD word = i % 3 == 0 ? 0x94000000 | (i * 977) : i % 3 == 1 ? 0x90000000 | (i * 7919 & 0x60FFFFFF) : i * 31;
    arm64.append(reinterpret_cast<const char*>(&word), 4);
  }
  for (DWORD filter : {DWORD{BRANCH_FILTER_X86}, DWORD{BRANCH_FILTER_ARM64}, DWORD{BRANCH_FILTER_NONE}}) {
    for (DWORD block : {1u, 3u, 5u, 7u, 4096u, 100000u}) {
      SCOPED_TRACE(std::to_string(filter) + " in blocks of " + std::to_string(block));
      const std::string& original = filter == BRANCH_FILTER_ARM64 ? arm64 : x86;
      std::string filtered = original;
      filter_forward(filter, filtered);
      if (filter != BRANCH_FILTER_NONE) {
        EXPECT_NE(filtered, original);
      }
      std::string out, held;
      for (size_t at = 0; at < filtered.size(); at += block) {
        held += filtered.substr(at, block);
        int last = at + block >= filtered.size();
        DWORD done = unfilter_branches(filter, reinterpret_cast<unsigned char*>(&held[0]),
                                       static_cast<DWORD>(held.size()), static_cast<DWORD>(out.size()), last);
        ASSERT_LE(done, held.size());
        if (!last) {
          EXPECT_GE(done + 4, held.size());
        }
        out += held.substr(0, done);
        held.erase(0, done);
      }
      EXPECT_EQ(out, original);
    }
  }
}

// The demo's two builds unpack in several blocks: after the first is refused, no
// other may reach the sink (its bytes would land where the refused ones belong).
TEST(CarriedFile, ASinksRefusalEndsTheUnpacking) {
  for (const char* name : {"TESSORA__ONDEL__DEMO.8BF", "MY_FILTER.8BF"}) {
    SCOPED_TRACE(name);
    CarriedStream stream = {};
    CarriedFile file;
    ASSERT_EQ(load_carried_file(self(), MAKEINTRESOURCEA(PAYLOAD_TYPE), name, file, stream), ERROR_SUCCESS);
    Unpacked unpacked = {"", ERROR_DISK_FULL, 0};
    EXPECT_EQ(unpack_carried_file(file, collect, &unpacked), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(unpacked.calls, 1);
    close_carried_stream(stream);
  }
}

// The set's files come in stream order: one pass decodes them all.
TEST_F(PayloadTest, OneRunDecodesTheStreamOnce) {
  EXPECT_TRUE(enumerate_and_write(self(), PAYLOAD_TYPE));
  EXPECT_EQ(run_stream.passes, 1);
  EXPECT_EQ(installed("TessoraOndelDemo.8bf"), carried_bytes(self(), "TESSORA__ONDEL__DEMO.8BF"));
}

}  // namespace
