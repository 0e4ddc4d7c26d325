// Writes the plug-in files an installer carries in the forms it reads them
// (resources/payload_types.h). Built and run with the build machine's own compiler.
//
//   pack_plugin FILE - OUTPUT            one file carried stored, as it is
//   pack_plugin --stream XZ LIST OUTPUT  every file of LIST in one compressed stream
//
// LIST holds one line per file, "set|resource name|file|record": the stream goes to
// OUTPUT and each file's record, its carried form pointing into the stream, to its
// record path. The files go into the stream the x86 set first, each set in the order
// the installer enumerates its names (the resource compiler sorts them with letters
// compared as lower case), so that installing one set decodes the stream once, from
// its start to that set's last file. Each PE image goes through its branch filter
// first; XZ (Debian's xz) compresses the whole with a dictionary that covers it.
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "payload_types.h"

extern char** environ;

namespace {

unsigned long crc32_of(const std::string& bytes, unsigned long crc = 0) {
  crc = ~crc & 0xffffffffUL;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320UL & (0UL - (crc & 1)));
  }
  return ~crc & 0xffffffffUL;
}

bool read_file(const std::string& path, std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char block[65536];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
  bool read = !std::ferror(file);
  std::fclose(file);
  return read;
}

bool write_file(const std::string& path, const std::string& bytes) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  bool written = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (out && std::fclose(out) != 0) written = false;
  if (!written) {
    std::fprintf(stderr, "pack_plugin: cannot write %s\n", path.c_str());
    std::remove(path.c_str());
  }
  return written;
}

void put_word(std::string& bytes, unsigned long word) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((word >> (8 * i)) & 0xff));
}

unsigned long word_at(const std::string& bytes, size_t at) {
  unsigned long word = 0;
  for (int i = 3; i >= 0; --i) word = word << 8 | static_cast<unsigned char>(bytes[at + i]);
  return word;
}

void set_word(std::string& bytes, size_t at, unsigned long word) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((word >> (8 * i)) & 0xff);
}

// The carried form of `file`: the header, then `after` (the file itself, or its record).
std::string carried_form(unsigned long method, const std::string& file, const std::string& after) {
  std::string header;
  put_word(header, CARRIED_MAGIC);
  put_word(header, method);
  put_word(header, static_cast<unsigned long>(file.size()));
  put_word(header, crc32_of(file));
  put_word(header, crc32_of(after, crc32_of(header)));
  return header + after;
}

// The filter for a file: by the Machine field of its PE header.
unsigned long filter_for(const std::string& file) {
  if (file.size() < 64 || file.compare(0, 2, "MZ") != 0) return BRANCH_FILTER_NONE;
  unsigned long header = word_at(file, 60);
  if (header > file.size() - 6 || file.compare(header, 4, std::string("PE\0\0", 4)) != 0) return BRANCH_FILTER_NONE;
  unsigned machine = static_cast<unsigned char>(file[header + 4]) | static_cast<unsigned char>(file[header + 5]) << 8;
  if (machine == 0x014c || machine == 0x8664) return BRANCH_FILTER_X86;
  return machine == 0xaa64 ? BRANCH_FILTER_ARM64 : BRANCH_FILTER_NONE;
}

// The filter's forward direction; install/branch_filter.cpp undoes it.
void apply_filter(unsigned long filter, std::string& bytes) {
  size_t size = bytes.size();
  if (filter == BRANCH_FILTER_X86) {
    // Every E8 and E9 takes its four bytes with it, made absolute or not: so no
    // operand is changed after the test on it was made, and undoing the filter meets
    // the same bytes when it decides.
    for (size_t i = 0; i + 4 < size;) {
      unsigned char opcode = static_cast<unsigned char>(bytes[i]);
      if (opcode != 0xE8 && opcode != 0xE9) {
        ++i;
        continue;
      }
      unsigned long operand = word_at(bytes, i + 1), top = operand >> 24;
      if (top == 0 || top == 0xFF) {
        unsigned long target = (operand + i + 5) & 0x1FFFFFF;
        set_word(bytes, i + 1, (target & 0x1000000) ? target | 0xFE000000UL : target);
      }
      i += 5;
    }
  } else if (filter == BRANCH_FILTER_ARM64) {
    for (size_t i = 0; i + 4 <= size; i += 4) {
      unsigned long word = word_at(bytes, i);
      if ((word >> 26) == 0x25) {  // BL: a 26-bit count of words
        set_word(bytes, i, 0x94000000UL | ((word + (i >> 2)) & 0x03FFFFFF));
      } else if ((word & 0x9F000000UL) == 0x90000000UL) {  // ADRP: a 21-bit count of pages
        unsigned long page = ((word >> 29) & 3) | ((word >> 3) & 0x1FFFFC);
        page = (page + (i >> 12)) & 0x1FFFFF;
        set_word(bytes, i, (word & 0x9F00001FUL) | (page & 3) << 29 | (page & 0x1FFFFC) << 3);
      }
    }
  }
}

// The order the installer enumerates a set's names in.
bool enumerated_before(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    return lower(x) < lower(y);
  });
}

struct Entry {
  unsigned long set;
  std::string name, file, record;
};

bool parse_list(const char* path, std::vector<Entry>& entries) {
  std::string text;
  if (!read_file(path, text)) return false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    size_t a = line.find('|'), b = line.find('|', a + 1), c = line.find('|', b + 1);
    if (c == std::string::npos) return false;
    entries.push_back({std::stoul(line.substr(0, a)), line.substr(a + 1, b - a - 1), line.substr(b + 1, c - b - 1),
                       line.substr(c + 1)});
  }
  return !entries.empty();
}

// Runs xz on `input`, its compressed bytes going to `output`.
bool compress(const char* xz, const std::string& input, const std::string& output, unsigned long dictionary) {
  std::string options = "--lzma1=preset=9e,dict=" + std::to_string(dictionary) + ",nice=273,lc=" +
                        std::to_string(STREAM_PROPERTIES & 0xff) + ",lp=" + std::to_string((STREAM_PROPERTIES >> 8) & 0xff) +
                        ",pb=" + std::to_string(STREAM_PROPERTIES >> 16);
  const char* argv[] = {xz, "--format=raw", options.c_str(), "--stdout", "--threads=1", input.c_str(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t child;
  int status = 1;
  bool started = posix_spawnp(&child, xz, &actions, nullptr, const_cast<char**>(argv), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  if (started) waitpid(child, &status, 0);
  return started && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int pack_stream(const char* xz, const char* list, const std::string& output) {
  std::vector<Entry> entries;
  if (!parse_list(list, entries)) {
    std::fprintf(stderr, "pack_plugin: cannot read the list %s\n", list);
    return 1;
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.set != b.set ? a.set < b.set : enumerated_before(a.name, b.name);
  });
  std::string decoded, index;
  for (const Entry& entry : entries) {
    std::string file;
    if (!read_file(entry.file, file) || file.empty()) {
      std::fprintf(stderr, "pack_plugin: cannot read %s\n", entry.file.c_str());
      return 1;
    }
    if (decoded.size() + file.size() > STREAM_DICTIONARY_MAX) {
      std::fprintf(stderr, "pack_plugin: the compressed files come to more than %u MB, which the installer's "
                   "dictionary holds at most; carry some of them STORED\n", STREAM_DICTIONARY_MAX >> 20);
      return 1;
    }
    unsigned long filter = filter_for(file), offset = static_cast<unsigned long>(decoded.size());
    std::string record;
    put_word(record, offset);
    put_word(record, filter);
    if (!write_file(entry.record, carried_form(CARRIED_STREAM, file, record))) return 1;
    for (unsigned long word : {entry.set, offset, static_cast<unsigned long>(file.size()), crc32_of(file), filter,
                               static_cast<unsigned long>(entry.name.size())})
      put_word(index, word);
    index += entry.name;
    index.resize((index.size() + 3) & ~size_t{3}, '\0');
    apply_filter(filter, file);
    decoded += file;
  }
  unsigned long dictionary = std::max<unsigned long>(4096, decoded.size());  // it holds every decoded byte
  std::string raw = output + ".raw", lzma = output + ".lzma", compressed;
  bool packed = write_file(raw, decoded) && compress(xz, raw, lzma, dictionary) && read_file(lzma, compressed);
  std::remove(raw.c_str());
  std::remove(lzma.c_str());
  if (!packed || compressed.empty()) {
    std::fprintf(stderr, "pack_plugin: %s could not compress the carried files\n", xz);
    return 1;
  }
  std::string header;
  put_word(header, STREAM_MAGIC);
  put_word(header, STREAM_PROPERTIES);
  put_word(header, dictionary);
  put_word(header, static_cast<unsigned long>(decoded.size()));
  put_word(header, static_cast<unsigned long>(compressed.size()));
  put_word(header, crc32_of(compressed));
  put_word(header, static_cast<unsigned long>(index.size()));
  put_word(header, crc32_of(index, crc32_of(header)));
  return write_file(output, header + index + compressed) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--stream") == 0) return pack_stream(argv[2], argv[3], argv[4]);
  if (argc != 4 || std::strcmp(argv[2], "-") != 0) {
    std::fprintf(stderr, "usage: pack_plugin FILE - OUTPUT | pack_plugin --stream XZ LIST OUTPUT\n");
    return 2;
  }
  std::string file;
  if (!read_file(argv[1], file)) {
    std::fprintf(stderr, "pack_plugin: cannot read %s\n", argv[1]);
    return 1;
  }
  if (file.size() > 0xffffffffUL) {
    std::fprintf(stderr, "pack_plugin: %s is larger than 4 GB\n", argv[1]);
    return 1;
  }
  return write_file(argv[3], carried_form(CARRIED_STORED, file, file)) ? 0 : 1;
}
