// Decoding a raw LZMA stream (the form xz writes with --format=raw --lzma1) into a
// dictionary the caller provides that holds all of its decoded bytes (the installer's
// stream is compressed with a dictionary that covers it), up to a limit at a time, so
// that the caller can take the new bytes out of the dictionary a block at a time. Every read stays within
// the compressed bytes and every write within the dictionary, whatever the bytes
// hold: a stream that ends early, refers to bytes before the first one decoded or
// would decode past its recorded length stops the decoding as damaged.
#pragma once
#include <windows.h>

struct LzmaDecoder {
  // Set by the caller before lzma_begin.
  unsigned short* probabilities;  // LZMA_PROBABILITIES of them
  unsigned char* dictionary;      // `size` bytes
  const unsigned char* in;        // the compressed bytes not yet read
  const unsigned char* in_end;
  DWORD size;                     // the bytes the whole stream decodes to
  // The decoding's state, `range` to `total` in this order (lzma_begin clears them at once).
  DWORD range, code;  // the range decoder's
  int short_input;    // a byte past the end was wanted: the stream ended early
  DWORD reps[4];      // the last four distances, less one, the latest first
  DWORD state;        // what the last symbols were, 0 to 11: below 7 a literal last
  DWORD pending;      // bytes of a match still to copy
  DWORD total;        // bytes decoded so far: the next one goes to dictionary[total]
};

// The properties of the streams it decodes: 3 literal context bits, no literal
// position bits, 2 position bits (xz's own defaults, which the build asks for), and
// the probabilities they need.
constexpr unsigned LZMA_LC = 3, LZMA_LP = 0, LZMA_PB = 2;
constexpr DWORD LZMA_PROBABILITIES = 1847 + (0x300u << (LZMA_LC + LZMA_LP));

// Starts decoding from `in`: every probability at its start, the range coder's first
// five bytes read. 1, or 0 when they are not those of a stream.
int lzma_begin(LzmaDecoder& decoder);

// Decodes until `total` is `limit` (at most `size`); a match that passes the limit
// goes on at the next call. 1, or 0 for a damaged stream, after which the decoder is
// not used again.
int lzma_decode(LzmaDecoder& decoder, DWORD limit);
