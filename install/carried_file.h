// Reading the form in which an installer carries each plug-in file
// (resources/payload_types.h): the file's bytes stored as they are, or its record in
// the installer's compressed stream (carried_stream.h), with the file's length and
// checksum and a checksum of everything carried, all recorded when the installer was
// built. A carried file that does not match what was recorded is damaged (ERROR_CRC):
// the installer's file was changed after it was built, and downloading it again is
// the remedy.
#pragma once
#include <windows.h>

#include "byte_sink.h"
#include "carried_stream.h"
#include "payload_types.h"

struct CarriedFile {
  const unsigned char* data;  // the bytes after the header, as carried
  DWORD data_size;
  DWORD method;    // CARRIED_STORED or CARRIED_STREAM
  DWORD size;      // the file's length
  DWORD checksum;  // CRC-32 of the file's bytes
  DWORD offset;    // CARRIED_STREAM: where it lies in the stream's decoded bytes
  DWORD filter;    // CARRIED_STREAM: the branch filter its bytes went through
  CarriedStream* stream;  // CARRIED_STREAM: the stream it is decoded from; set by the caller
};

// Reads the header of the `size` resource bytes at `bytes` and checks everything
// carried against its checksum. ERROR_SUCCESS with `file` filled (`stream` null), or
// ERROR_CRC.
DWORD open_carried_file(const void* bytes, DWORD size, CarriedFile& file);

// Hands the file's bytes to `sink` in order, a block at a time: stored bytes as they
// are, a file in the stream as it is decoded. ERROR_SUCCESS only once exactly the
// recorded length with the recorded checksum has gone to the sink; ERROR_CRC when
// more, fewer or other bytes came (a damaged file: the sink has then seen bytes that
// are not the file's); otherwise the sink's or the decoding's error.
DWORD unpack_carried_file(const CarriedFile& file, ByteSink sink, void* context);
