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
  unsigned short* probabilities;  // lzma_probability_count(lc, lp) of them
  unsigned char* dictionary;      // `size` bytes
  const unsigned char* in;        // the compressed bytes not yet read
  const unsigned char* in_end;
  DWORD size;                     // the bytes the whole stream decodes to
  unsigned lc, lp, pb;            // the stream's properties: lc + lp at most 4, pb at most 4
  // The decoding's state.
  DWORD range, code;  // the range decoder's
  int short_input;    // a byte past the end was wanted: the stream ended early
  DWORD reps[4];      // the last four distances, less one, the latest first
  DWORD state;        // what the last symbols were, 0 to 11: below 7 a literal last
  DWORD pending;      // bytes of a match still to copy
  DWORD total;        // bytes decoded so far: the next one goes to dictionary[total]
};

// How many probabilities a stream of these properties needs.
DWORD lzma_probability_count(unsigned lc, unsigned lp);

// Starts decoding from `in`: every probability at its start, the range coder's first
// five bytes read. 1, or 0 when they are not those of a stream.
int lzma_begin(LzmaDecoder& decoder);

// Decodes until `total` is `limit` (at most `size`); a match that passes the limit
// goes on at the next call. 1, or 0 for a damaged stream, after which the decoder is
// not used again.
int lzma_decode(LzmaDecoder& decoder, DWORD limit);
