// The private resource types of the plug-ins an installer carries: one set per
// build of a plug-in. A file of one name may be carried in several sets (the builds
// of one plug-in); within a set each name is carried once. The build reads these
// numbers from here (cmake/payload.cmake), so this is the one place they are set.
#pragma once

#define PAYLOAD_TYPE_X86 3000    // 32-bit (x86) plug-ins, and carried files that are not PE images
#define PAYLOAD_TYPE_X64 3001    // 64-bit (x64) plug-ins
#define PAYLOAD_TYPE_ARM64 3002  // ARM64 plug-ins
#define PAYLOAD_TYPE_STREAM 3003 // the one compressed stream of the installer (resource id 1)
#define PAYLOAD_STREAM_ID 1

// The form each carried file takes inside its resource: a header of five
// little-endian 32-bit words, then the file's bytes as they are, or where the file
// lies in the installer's compressed stream.
//   0  CARRIED_MAGIC
//   4  the method: CARRIED_STORED or CARRIED_STREAM
//   8  the file's length
//  12  CRC-32 of the file's bytes (the checksum of zlib and gzip)
//  16  CRC-32 of everything else in the resource: bytes 0 to 15, then the bytes after
//      the header, so that one changed byte anywhere is found before anything is written
// After the header, CARRIED_STORED: the file's bytes. CARRIED_STREAM: its record in
// the stream, two words:
//  20  the offset of its first byte in the stream's decoded bytes
//  24  the branch filter its bytes went through before compression: BRANCH_FILTER_*
// The build writes it (resources/packer/pack_plugin.cpp); the installer reads it
// (install/carried_file.h).
#define CARRIED_MAGIC 0x31464356u  // "VCF1"
#define CARRIED_HEADER_SIZE 20
#define CARRIED_STORED 0
#define CARRIED_STREAM 2           // 1 was a cabinet per file, no longer written or read
#define CARRIED_RECORD_SIZE 8      // the bytes after the header of a CARRIED_STREAM file

// Branch filters: the relative target of each call and jump made absolute, counted
// from the file's first byte, so that calls to one function become the same bytes and
// compress better. x86: every E8 and E9 byte takes the four after it as its operand,
// made absolute modulo 2^25 from the end of the instruction when its top byte is 00
// or FF; ARM64: BL and ADRP.
#define BRANCH_FILTER_NONE 0   // not a PE image
#define BRANCH_FILTER_X86 1    // x86 and x64 images
#define BRANCH_FILTER_ARM64 2  // ARM64 images

// The stream: every file of every set carried compressed, the x86 set first, each
// through its branch filter, put together and compressed as one raw LZMA stream
// (Debian's xz, --format=raw --lzma1) whose dictionary covers the whole of it, so
// that the files carried compressed come to STREAM_DICTIONARY_MAX at most. Little-
// endian words:
//   0  STREAM_MAGIC
//   4  STREAM_PROPERTIES: lc | lp << 8 | pb << 16 (the LZMA properties)
//   8  the dictionary size: at least the decoded bytes' length, at most STREAM_DICTIONARY_MAX
//  12  the length of the decoded bytes: every file's length together
//  16  the length of the compressed bytes
//  20  CRC-32 of the compressed bytes
//  24  the length of the index that follows the header
//  28  CRC-32 of bytes 0 to 27 and the index
//  32  the index, per file in stream order: its set (PAYLOAD_TYPE_*), offset, length,
//      CRC-32, filter and the length of its resource name, then the name, padded with
//      zeros to whole words; then the compressed bytes, to the resource's end.
#define STREAM_MAGIC 0x31534356u  // "VCS1"
#define STREAM_HEADER_SIZE 32
#define STREAM_PROPERTIES (3 | 0 << 8 | 2 << 16)  // xz's defaults: the only ones the installer decodes
#define STREAM_DICTIONARY_MAX (64u << 20)
