#include "carried_file.h"

#include <string.h>

#include "crc32.h"

namespace {

constexpr DWORD STORED_BLOCK = 65536;  // stored bytes go to the sink this much at a time

DWORD header_word(const unsigned char* bytes, int index) {
  DWORD word;
  memcpy(&word, bytes + 4 * index, sizeof word);  // little-endian, as Windows runs
  return word;
}

// Counts and checksums what passes on to the real sink, and stops a damaged file
// that would give more bytes than recorded before they reach it.
struct CheckedSink {
  ByteSink sink;
  void* context;
  DWORD left;  // bytes still to come
  DWORD crc;
};

DWORD check_and_pass(void* context, const unsigned char* bytes, DWORD size) {
  CheckedSink& checked = *static_cast<CheckedSink*>(context);
  if (size > checked.left) return ERROR_CRC;
  checked.left -= size;
  checked.crc = crc32_update(checked.crc, bytes, size);
  return checked.sink(checked.context, bytes, size);
}

}  // namespace

DWORD open_carried_file(const void* bytes, DWORD size, CarriedFile& file) {
  const unsigned char* carried = static_cast<const unsigned char*>(bytes);
  if (size < CARRIED_HEADER_SIZE || header_word(carried, 0) != CARRIED_MAGIC) return ERROR_CRC;
  file.data = carried + CARRIED_HEADER_SIZE;
  file.data_size = size - CARRIED_HEADER_SIZE;
  file.method = header_word(carried, 1);
  file.size = header_word(carried, 2);
  file.checksum = header_word(carried, 3);
  file.stream = nullptr;
  // A stored file is as long as recorded; a file in the stream has a record of two words.
  if (file.method == CARRIED_STREAM ? file.data_size != CARRIED_RECORD_SIZE
                                    : file.method != CARRIED_STORED || file.data_size != file.size)
    return ERROR_CRC;
  if (crc32_update(crc32_update(0, carried, 16), file.data, file.data_size) != header_word(carried, 4))
    return ERROR_CRC;
  file.offset = file.filter = 0;
  if (file.method == CARRIED_STREAM) {
    file.offset = header_word(file.data, 0);
    file.filter = header_word(file.data, 1);
  }
  return ERROR_SUCCESS;
}

DWORD unpack_carried_file(const CarriedFile& file, ByteSink sink, void* context) {
  CheckedSink checked = {sink, context, file.size, 0};
  DWORD error = ERROR_SUCCESS;
  if (file.method == CARRIED_STREAM) {
    error = unpack_from_stream(*file.stream, file.offset, file.size, file.filter, check_and_pass, &checked);
  } else {
    for (DWORD at = 0; at < file.data_size && error == ERROR_SUCCESS; at += STORED_BLOCK) {
      DWORD block = file.data_size - at < STORED_BLOCK ? file.data_size - at : STORED_BLOCK;
      error = check_and_pass(&checked, file.data + at, block);
    }
  }
  if (error != ERROR_SUCCESS) return error;
  if (checked.left == 0 && checked.crc == file.checksum) return ERROR_SUCCESS;
  // The record was checked: the stream decoded to other bytes than were compressed.
  if (file.stream) file.stream->damage = STREAM_DAMAGED_DECODING;
  return ERROR_CRC;
}
