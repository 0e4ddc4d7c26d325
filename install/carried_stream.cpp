#include "carried_stream.h"

#include <string.h>

#include "branch_filter.h"
#include "crc32.h"
#include "payload_types.h"

namespace {

// Decoded bytes pass to the sink this much at a time, through a buffer of their own:
// the dictionary must keep them as they were compressed, filter and all.
constexpr DWORD STREAM_BLOCK = 16384;

DWORD stream_word(const unsigned char* bytes, int index) {
  DWORD word;
  memcpy(&word, bytes + 4 * index, sizeof word);
  return word;
}

DWORD damaged(CarriedStream& stream, const char* reason) {
  stream.damage = reason;
  return ERROR_CRC;
}


static_assert(STREAM_PROPERTIES == (LZMA_LC | LZMA_LP << 8 | LZMA_PB << 16), "the build's properties are the decoder's");

}  // namespace

DWORD open_carried_stream(const void* bytes, DWORD size, CarriedStream& stream) {
  const unsigned char* header = static_cast<const unsigned char*>(bytes);
  if (size < STREAM_HEADER_SIZE || stream_word(header, 0) != STREAM_MAGIC ||
      stream_word(header, 6) > size - STREAM_HEADER_SIZE)
    return damaged(stream, STREAM_DAMAGED_HEADER);
  DWORD index = stream_word(header, 6);
  if (crc32_update(crc32_update(0, header, 28), header + STREAM_HEADER_SIZE, index) != stream_word(header, 7))
    return damaged(stream, STREAM_DAMAGED_CHECKSUM);
  DWORD dictionary = stream_word(header, 2), decoded = stream.decoder.size = stream_word(header, 3);
  if (stream_word(header, 1) != STREAM_PROPERTIES) return damaged(stream, STREAM_DAMAGED_HEADER);
  // The dictionary holds every decoded byte: the decoder never wraps round in it.
  if (dictionary < decoded || dictionary > STREAM_DICTIONARY_MAX)
    return damaged(stream, STREAM_DAMAGED_DICTIONARY);
  stream.compressed = header + STREAM_HEADER_SIZE + index;
  stream.compressed_size = size - STREAM_HEADER_SIZE - index;
  if (stream_word(header, 4) != stream.compressed_size) return damaged(stream, STREAM_DAMAGED_LENGTH);
  if (crc32_update(0, stream.compressed, stream.compressed_size) != stream_word(header, 5))
    return damaged(stream, STREAM_DAMAGED_CHECKSUM);
  return ERROR_SUCCESS;
}

int stream_holds(const CarriedStream& stream, DWORD offset, DWORD size, DWORD filter) {
  return size <= stream.decoder.size && offset <= stream.decoder.size - size && filter <= BRANCH_FILTER_ARM64;
}

DWORD unpack_from_stream(CarriedStream& stream, DWORD offset, DWORD size, DWORD filter, ByteSink sink, void* context) {
  if (stream.damage) return ERROR_CRC;
  LzmaDecoder& decoder = stream.decoder;
  const DWORD probabilities = (LZMA_PROBABILITIES * 2 + 3) & ~3u;
  int fresh = !stream.memory;
  if (fresh) {
    // A block this large comes to the heap straight from the system, and its pages
    // that are never touched cost nothing: installing the x86 set, which comes first,
    // uses only the part of the dictionary its files fill.
    stream.memory =
        static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, probabilities + STREAM_BLOCK + decoder.size));
    if (!stream.memory) return ERROR_NOT_ENOUGH_MEMORY;
    decoder.probabilities = reinterpret_cast<unsigned short*>(stream.memory);
    decoder.dictionary = stream.memory + probabilities + STREAM_BLOCK;
  }
  if (fresh || decoder.total > offset) {
    decoder.in = stream.compressed;
    decoder.in_end = stream.compressed + stream.compressed_size;
    ++stream.passes;
    if (!lzma_begin(decoder)) return damaged(stream, STREAM_DAMAGED_DECODING);
  }
  unsigned char* block = stream.memory + probabilities;
  DWORD end = offset + size, held = 0, position = 0;
  while (decoder.total < end) {
    DWORD before = decoder.total;
    DWORD limit = before + STREAM_BLOCK - held;
    if (!lzma_decode(decoder, before < offset ? offset : limit < end ? limit : end))
      return damaged(stream, STREAM_DAMAGED_DECODING);
    if (before < offset) continue;  // the bytes of the files before this one
    DWORD got = decoder.total - before;
    memcpy(block + held, decoder.dictionary + before, got);
    held += got;
    DWORD done = unfilter_branches(filter, block, held, position, decoder.total == end);
    DWORD error = sink(context, block, done);
    if (error != ERROR_SUCCESS) return error;
    held -= done;
    position += done;
    for (DWORD i = 0; i < held; ++i) block[i] = block[done + i];  // the filter's few bytes held back
  }
  return ERROR_SUCCESS;
}

void close_carried_stream(CarriedStream& stream) {
  if (stream.memory) HeapFree(GetProcessHeap(), 0, stream.memory);
  stream.memory = nullptr;
}
