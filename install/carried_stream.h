// The installer's one compressed stream (resources/payload_types.h): every plug-in
// carried compressed, of every set, put together and compressed as one raw LZMA
// stream. Each such file's own resource records where it lies in the stream's
// decoded bytes; its bytes are decoded from the stream's start in one pass, a block
// at a time, as the files are asked for in stream order. The decoder's memory (its
// probabilities, one block and the dictionary, which is at most the decoded bytes'
// length) is allocated at the first file and freed by close_carried_stream.
#pragma once
#include <windows.h>

#include "byte_sink.h"
#include "lzma_decoder.h"

struct CarriedStream {
  const unsigned char* compressed;  // null until the stream is loaded
  DWORD compressed_size;
  unsigned char* memory;  // the decoder's, null until the first file is decoded
  LzmaDecoder decoder;  // its size, the decoded bytes' length, set when the stream is opened
  int passes;          // decoding passes begun: one per run, while its files come in stream order
  const char* damage;  // why the stream is damaged, for the log; null while it is not
};

// Reads the header of the `size` stream bytes at `bytes` and checks it and both its
// checksums. ERROR_SUCCESS with `stream` ready to decode, or ERROR_CRC with `damage`
// saying why. `stream` starts zeroed.
DWORD open_carried_stream(const void* bytes, DWORD size, CarriedStream& stream);

// 1 when `size` bytes at `offset` of the decoded bytes are the stream's, and `filter`
// is one the installer undoes.
int stream_holds(const CarriedStream& stream, DWORD offset, DWORD size, DWORD filter);

// Hands the `size` decoded bytes at `offset` to `sink`, with `filter` undone, a block
// at a time. Decoding goes on from where the last file ended, or starts again from
// the stream's start for a file before that. ERROR_SUCCESS, the sink's error (the
// decoder then stays where it was), ERROR_NOT_ENOUGH_MEMORY, or ERROR_CRC for a
// stream that does not decode (`damage` set; it is not decoded again).
DWORD unpack_from_stream(CarriedStream& stream, DWORD offset, DWORD size, DWORD filter, ByteSink sink, void* context);

// Frees the decoder's memory; a later file starts a new pass.
void close_carried_stream(CarriedStream& stream);

// What the log names as damaged ("damaged: the stream's checksum").
constexpr char STREAM_DAMAGED_HEADER[] = "the stream's header";
constexpr char STREAM_DAMAGED_LENGTH[] = "the stream's length";
constexpr char STREAM_DAMAGED_DICTIONARY[] = "the stream's dictionary";
constexpr char STREAM_DAMAGED_CHECKSUM[] = "the stream's checksum";
constexpr char STREAM_DAMAGED_DECODING[] = "the stream's contents";  // it does not decode to what was recorded
constexpr char CARRIED_DAMAGED_FILE[] = "a plug-in's checksum";
