#include "architecture.h"

#include <windows.h>

#include "handles.h"

namespace {

constexpr DWORD DOS_HEADER_SIZE = 64;       // "MZ" ... e_lfanew at offset 60
constexpr DWORD PE_HEADER_LIMIT = 1 << 20;  // a header further in is not one a loader would take

bool read_at(HANDLE file, DWORD offset, void* buffer, DWORD size) {
  if (SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  DWORD read = 0;
  return ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

DWORD little_endian(const unsigned char* bytes, int count) {
  DWORD value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

}  // namespace

ImageKind read_image_kind(const char* path) {
  // Shared with everything: a plug-in a running host holds open is still read.
  FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return IMAGE_NONE;
  unsigned char dos[DOS_HEADER_SIZE];
  if (!read_at(file.get(), 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return IMAGE_NONE;
  DWORD header = little_endian(dos + 60, 4);
  if (header < DOS_HEADER_SIZE || header > PE_HEADER_LIMIT) return IMAGE_NONE;
  unsigned char pe[6];
  if (!read_at(file.get(), header, pe, sizeof pe) || pe[0] != 'P' || pe[1] != 'E' || pe[2] || pe[3])
    return IMAGE_NONE;
  switch (little_endian(pe + 4, 2)) {
    case 0x014C:
      return IMAGE_X86;
    case 0x8664:
      return IMAGE_X64;
    case 0xAA64:
      return IMAGE_ARM64;
    default:
      return IMAGE_OTHER;
  }
}

Architecture image_architecture(ImageKind kind) {
  switch (kind) {
    case IMAGE_X86:
      return ARCH_X86;
    case IMAGE_X64:
      return ARCH_X64;
    case IMAGE_ARM64:
      return ARCH_ARM64;
    default:
      return ARCH_UNKNOWN;
  }
}

const char* architecture_name(Architecture architecture) {
  switch (architecture) {
    case ARCH_X86:
      return "x86";
    case ARCH_X64:
      return "x64";
    case ARCH_ARM64:
      return "arm64";
    default:
      return "-";
  }
}

const char* architecture_host_text(Architecture architecture) {
  switch (architecture) {
    case ARCH_X86:
      return "32-bit (x86) image editor";
    case ARCH_X64:
      return "64-bit (x64) image editor";
    case ARCH_ARM64:
      return "ARM64 image editor";
    default:
      return "image editor of unknown kind";
  }
}

const char* architecture_build_text(Architecture architecture) {
  switch (architecture) {
    case ARCH_X64:
      return "64-bit (x64)";
    case ARCH_ARM64:
      return "ARM64";
    default:
      return "32-bit (x86)";
  }
}
