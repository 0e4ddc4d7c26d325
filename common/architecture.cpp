#include "architecture.h"

#include <windows.h>

#include "bounded_text.h"
#include "handles.h"
#include "safe_files.h"
#include "system_calls.h"

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
  FileHandle file(open_disk_file(path));
  return file.valid() ? image_kind_of(file.get()) : IMAGE_NONE;
}

ImageKind image_kind_of(void* file) {
  unsigned char dos[DOS_HEADER_SIZE];
  if (!read_at(file, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return IMAGE_NONE;
  DWORD header = little_endian(dos + 60, 4);
  if (header < DOS_HEADER_SIZE || header > PE_HEADER_LIMIT) return IMAGE_NONE;
  unsigned char pe[6];
  if (!read_at(file, header, pe, sizeof pe) || pe[0] != 'P' || pe[1] != 'E' || pe[2] || pe[3])
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

// The image kinds of the three architectures share their numbers.
static_assert(IMAGE_X86 == static_cast<int>(ARCH_X86) && IMAGE_X64 == static_cast<int>(ARCH_X64) &&
                  IMAGE_ARM64 == static_cast<int>(ARCH_ARM64),
              "image kinds and architectures are numbered alike");

Architecture image_architecture(ImageKind kind) {
  return kind >= IMAGE_X86 && kind <= IMAGE_ARM64 ? static_cast<Architecture>(kind) : ARCH_UNKNOWN;
}

namespace {

// How each architecture is named, in the order of the enumeration: its short name,
// how a host of it is named, and how its build of plug-ins is named, each ended by
// "\0" (one address a row).
const char* const NAMES[] = {
    "-\0image editor of unknown kind\0" "32-bit (x86)",  // unknown hosts are served as 32-bit ones
    "x86\0" "32-bit (x86) image editor\0" "32-bit (x86)",
    "x64\0" "64-bit (x64) image editor\0" "64-bit (x64)",
    "arm64\0" "ARM64 image editor\0" "ARM64",
    "64-bit\0" "64-bit image editor, x64 or ARM64 unknown (/ARCH= tells)\0" "64-bit",
};

// The `which`-th name (0 to 2) of `architecture`.
const char* name_of(Architecture architecture, int which) {
  const char* name = NAMES[architecture >= ARCH_X86 && architecture <= ARCH_64BIT ? architecture : ARCH_UNKNOWN];
  while (which--) name += text_length(name) + 1;
  return name;
}

}  // namespace

const char* architecture_name(Architecture architecture) { return name_of(architecture, 0); }

const char* architecture_host_text(Architecture architecture) { return name_of(architecture, 1); }

const char* architecture_build_text(Architecture architecture) { return name_of(architecture, 2); }

int windows_runs_on_arm64() {
  using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  auto is_wow64_process2 = system_function<IsWow64Process2Fn>("kernel32.dll", "IsWow64Process2");
  USHORT process = 0, native = 0;
  HANDLE self = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));  // GetCurrentProcess()'s pseudo handle
  return is_wow64_process2 && is_wow64_process2(self, &process, &native) && native == 0xAA64;  // IMAGE_FILE_MACHINE_ARM64
}
