#include "lzma_decoder.h"

#include <string.h>

namespace {

// Where each kind of probability starts in the one table. Bit trees are read from
// their index 1 on, so index 0 of each is never used.
constexpr DWORD PROB_IS_MATCH = 0;                   // per state and position state (12 x 16)
constexpr DWORD PROB_IS_REP = PROB_IS_MATCH + 192;        // per state
constexpr DWORD PROB_IS_REP0 = PROB_IS_REP + 12;
constexpr DWORD PROB_IS_REP1 = PROB_IS_REP0 + 12;
constexpr DWORD PROB_IS_REP2 = PROB_IS_REP1 + 12;
constexpr DWORD PROB_IS_REP0_LONG = PROB_IS_REP2 + 12;    // per state and position state
constexpr DWORD PROB_SLOT = PROB_IS_REP0_LONG + 192;      // 6-bit trees per length state (4 x 64)
constexpr DWORD PROB_SPECIAL = PROB_SLOT + 256;           // the low bits of distances 4 to 127
constexpr DWORD PROB_ALIGN = PROB_SPECIAL + 115;          // the low 4 bits of longer distances
constexpr DWORD PROB_MATCH_LENGTH = PROB_ALIGN + 16;      // two choices, 16 x 8 low, 16 x 8 middle, 256 high
constexpr DWORD PROB_REP_LENGTH = PROB_MATCH_LENGTH + 514;
constexpr DWORD PROB_LITERAL = PROB_REP_LENGTH + 514;     // 0x300 per literal context
constexpr DWORD RANGE_TOP = 1u << 24;                 // the range is widened below this

}  // namespace

static_assert(PROB_LITERAL == 1847, "the table's layout");

int lzma_begin(LzmaDecoder& decoder) {
  for (DWORD i = 0; i < LZMA_PROBABILITIES; ++i) decoder.probabilities[i] = 1024;  // even odds
  // The decoding's state, every field from `range` to `total`, starts at zero.
  memset(&decoder.range, 0, reinterpret_cast<char*>(&decoder.total + 1) - reinterpret_cast<char*>(&decoder.range));
  decoder.range = 0xFFFFFFFF;
  if (decoder.in_end - decoder.in < 5 || *decoder.in != 0) return 0;
  for (int i = 1; i < 5; ++i) decoder.code = decoder.code << 8 | decoder.in[i];
  decoder.in += 5;
  return decoder.code != 0xFFFFFFFF;
}

namespace {

// Widens the range by the next compressed byte when it has grown too narrow.
void widen(LzmaDecoder& d) {
  if (d.range >= RANGE_TOP) return;
  d.range <<= 8;
  d.code <<= 8;
  if (d.in < d.in_end)
    d.code |= *d.in++;
  else
    d.short_input = 1;
}

// One bit, its probability adapted.
unsigned decode_bit(LzmaDecoder& d, unsigned short* probability) {
  widen(d);
  DWORD bound = (d.range >> 11) * *probability;
  if (d.code < bound) {
    d.range = bound;
    *probability = static_cast<unsigned short>(*probability + ((2048 - *probability) >> 5));
    return 0;
  }
  d.range -= bound;
  d.code -= bound;
  *probability = static_cast<unsigned short>(*probability - (*probability >> 5));
  return 1;
}

// Bits, highest first, each with the probability of the bits before it, from `node`
// until the node reaches `end`: the value plus `end`.
unsigned decode_tree(LzmaDecoder& d, unsigned short* probabilities, unsigned node, unsigned end) {
  while (node < end) node = node * 2 + decode_bit(d, probabilities + node);
  return node;
}

// Lowest bit first: the tree is walked as any other, only the value's bits come the
// other way round.
unsigned decode_reverse(LzmaDecoder& d, unsigned short* probabilities, int bits) {
  unsigned node = decode_tree(d, probabilities, 1, 1u << bits), value = 0;
  for (int i = 0; i < bits; ++i, node >>= 1) value = value * 2 + (node & 1);
  return value;
}

// Bits of even odds, highest first.
DWORD decode_direct(LzmaDecoder& d, int bits) {
  DWORD value = 0;
  for (int i = 0; i < bits; ++i) {
    widen(d);
    d.range >>= 1;
    DWORD bit = d.code >= d.range;
    if (bit) d.code -= d.range;
    value = value * 2 + bit;
  }
  return value;
}

// The length less 2, 0 to 271.
unsigned decode_length(LzmaDecoder& d, unsigned short* probabilities, DWORD position_state) {
  if (!decode_bit(d, probabilities)) return decode_tree(d, probabilities + 2 + position_state * 8, 1, 8) - 8;
  if (!decode_bit(d, probabilities + 1)) return decode_tree(d, probabilities + 130 + position_state * 8, 1, 8);
  return decode_tree(d, probabilities + 258, 1, 256) - 240;
}

// The distance of a new match, less one, for a match of `length` less 2.
DWORD decode_distance(LzmaDecoder& d, unsigned length) {
  unsigned short* p = d.probabilities;
  unsigned slot = decode_tree(d, p + PROB_SLOT + ((length < 3 ? length : 3) << 6), 1, 64) - 64;
  if (slot < 4) return slot;
  int bits = static_cast<int>(slot >> 1) - 1;
  DWORD distance = (2 | (slot & 1)) << bits;
  if (slot < 14) return distance + decode_reverse(d, p + PROB_SPECIAL + distance - slot, bits);
  distance += decode_direct(d, bits - 4) << 4;
  return distance + decode_reverse(d, p + PROB_ALIGN, 4);
}

// One symbol: a literal byte, or a match (its bytes left pending). 0 for a damaged stream.
int decode_symbol(LzmaDecoder& d) {
  unsigned short* p = d.probabilities;
  DWORD state = d.state, position_state = d.total & ((1u << LZMA_PB) - 1);
  if (!decode_bit(d, p + PROB_IS_MATCH + (state << 4) + position_state)) {
    unsigned previous = d.total ? d.dictionary[d.total - 1] : 0;
    unsigned short* literal =
        p + PROB_LITERAL + 0x300 * (((d.total & ((1u << LZMA_LP) - 1)) << LZMA_LC) + (previous >> (8 - LZMA_LC)));
    unsigned node = 1;
    if (state >= 7) {  // after a match: the byte after the match guides the bits while they agree
      unsigned match = d.dictionary[d.total - d.reps[0] - 1];
      unsigned match_bit, bit;
      do {
        match_bit = (match >> 7) & 1;
        match <<= 1;
        bit = decode_bit(d, literal + 0x100 + (match_bit << 8) + node);
        node = node * 2 + bit;
      } while (node < 0x100 && bit == match_bit);
    }
    d.dictionary[d.total++] = static_cast<unsigned char>(decode_tree(d, literal, node, 0x100));
    d.state = state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
    return 1;
  }
  unsigned rep = decode_bit(d, p + PROB_IS_REP + state), which = 3, length;
  if (rep) {
    if (!d.total) return 0;  // a repeat before the first byte
    // Which of the last four distances: its choices follow each other in the table.
    for (which = 0; which < 3 && decode_bit(d, p + PROB_IS_REP0 + 12 * which + state); ++which) {
    }
    if (!which && !decode_bit(d, p + PROB_IS_REP0_LONG + (state << 4) + position_state)) {
      d.state = state < 7 ? 9 : 11;  // one byte from the last distance
      d.pending = 1;
      return 1;
    }
  }
  DWORD distance = d.reps[which];
  for (; which; --which) d.reps[which] = d.reps[which - 1];
  length = decode_length(d, p + (rep ? PROB_REP_LENGTH : PROB_MATCH_LENGTH), position_state);
  if (!rep) {
    distance = decode_distance(d, length);
    // Only bytes already decoded can be repeated; the end marker (all ones) is
    // beyond them too, since the stream's length is recorded.
    if (distance >= d.total) return 0;
  }
  d.reps[0] = distance;
  d.state = state < 7 ? 7 + rep : 10 + rep;
  if (length + 2 > d.size - d.total) return 0;  // it would pass the recorded length
  d.pending = length + 2;
  return 1;
}

}  // namespace

int lzma_decode(LzmaDecoder& d, DWORD limit) {
  for (;;) {
    for (; d.pending && d.total < limit; --d.pending, ++d.total) d.dictionary[d.total] = d.dictionary[d.total - d.reps[0] - 1];
    if (d.total >= limit) return !d.short_input;
    if (d.short_input || !decode_symbol(d)) return 0;
  }
}
