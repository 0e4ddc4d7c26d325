// The private resource types of the plug-ins an installer carries: one set per
// build of a plug-in. A file of one name may be carried in several sets (the builds
// of one plug-in); within a set each name is carried once. The build reads these
// numbers from here (cmake/payload.cmake), so this is the one place they are set.
#pragma once

#define PAYLOAD_TYPE_X86 3000    // 32-bit (x86) plug-ins, and carried files that are not PE images
#define PAYLOAD_TYPE_X64 3001    // 64-bit (x64) plug-ins
#define PAYLOAD_TYPE_ARM64 3002  // ARM64 plug-ins

// The form each carried file takes inside its resource: a header of five
// little-endian 32-bit words, then the file's bytes as they are or compressed.
//   0  CARRIED_MAGIC
//   4  the method: CARRIED_STORED or CARRIED_CABINET (one MSZIP cabinet of the file)
//   8  the file's length
//  12  CRC-32 of the file's bytes (the checksum of zlib and gzip)
//  16  CRC-32 of everything else in the resource: bytes 0 to 15, then the bytes after
//      the header, so that one changed byte anywhere is found before anything is written
// The build writes it (resources/packer/pack_plugin.cpp); the installer reads it
// (install/carried_file.h).
#define CARRIED_MAGIC 0x31464356u  // "VCF1"
#define CARRIED_HEADER_SIZE 20
#define CARRIED_STORED 0
#define CARRIED_CABINET 1
