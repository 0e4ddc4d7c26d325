// Writes a plug-in file in the form the installer carries it (resources/payload_types.h):
// the header with the file's length and checksum, then the bytes of CABINET (the file
// compressed by gcab) when that is smaller than the file, else the file's own bytes.
// Built and run with the build machine's own compiler.
//
//   pack_plugin FILE CABINET|- OUTPUT      "-": carried stored, whatever its size
#include <cstdio>
#include <string>

#include "payload_types.h"

namespace {

unsigned long crc32_of(const std::string& bytes, unsigned long crc = 0) {
  crc = ~crc & 0xffffffffUL;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320UL & (0UL - (crc & 1)));
  }
  return ~crc & 0xffffffffUL;
}

bool read_file(const char* path, std::string& bytes) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  char block[65536];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
  bool read = !std::ferror(file);
  std::fclose(file);
  return read;
}

void put_word(std::string& header, unsigned long word) {
  for (int i = 0; i < 4; ++i) header.push_back(static_cast<char>((word >> (8 * i)) & 0xff));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: pack_plugin FILE CABINET|- OUTPUT\n");
    return 2;
  }
  std::string file, cabinet;
  if (!read_file(argv[1], file) || (std::string(argv[2]) != "-" && !read_file(argv[2], cabinet))) {
    std::fprintf(stderr, "pack_plugin: cannot read %s\n", file.empty() ? argv[1] : argv[2]);
    return 1;
  }
  if (file.size() > 0xffffffffUL) {
    std::fprintf(stderr, "pack_plugin: %s is larger than 4 GB\n", argv[1]);
    return 1;
  }
  // A file that does not get smaller is carried as it is.
  bool compressed = !cabinet.empty() && cabinet.size() < file.size();
  const std::string& data = compressed ? cabinet : file;
  std::string header;
  put_word(header, CARRIED_MAGIC);
  put_word(header, compressed ? CARRIED_CABINET : CARRIED_STORED);
  put_word(header, static_cast<unsigned long>(file.size()));
  put_word(header, crc32_of(file));
  put_word(header, crc32_of(data, crc32_of(header)));
  std::FILE* out = std::fopen(argv[3], "wb");
  bool written = out && std::fwrite(header.data(), 1, header.size(), out) == header.size() &&
                 std::fwrite(data.data(), 1, data.size(), out) == data.size();
  if (out && std::fclose(out) != 0) written = false;
  if (!written) {
    std::fprintf(stderr, "pack_plugin: cannot write %s\n", argv[3]);
    std::remove(argv[3]);
    return 1;
  }
  return 0;
}
