#include "carried_plugins.h"

#include "bounded_text.h"
#include "letters.h"

const WORD PAYLOAD_TYPES[PAYLOAD_SET_COUNT] = {PAYLOAD_TYPE_X86, PAYLOAD_TYPE_X64, PAYLOAD_TYPE_ARM64};

namespace {

void delete_chars(char* text, size_t at, size_t count) {
  size_t i = at;
  while ((text[i] = text[i + count]) != '\0') ++i;
}

// A full stop and the digit 8 leave their successor alone, so ".8BF" ends as ".8bf";
// the apostrophe does, so "ROCK'N" ends as "Rock'n".
bool upper_cases_successor(char c) { return !is_letter(c) && c != '\'' && c != '.' && c != '8'; }

BOOL CALLBACK note_carried(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
  if (IS_INTRESOURCE(name)) return TRUE;  // a numeric id names no file
  *reinterpret_cast<int*>(found) = 1;
  return FALSE;
}

}  // namespace

char* normalise_file_name(char* name) {
  lower_ascii(name);
  name[0] = upper_char(name[0]);
  if (text_length(name) < 2) return name;
  // The bound is taken again before every step, as deletions shorten the text; the
  // last character is therefore only ever changed as a successor.
  for (size_t i = 0; i + 1 < text_length(name); ++i) {
    if (name[i] == '_' && name[i + 1] == '_') {
      delete_chars(name, i, 2);
      name[i] = upper_char(name[i]);
      if (!name[i]) break;
    }
    if (name[i] == '_') name[i] = ' ';
    if (name[i] == ':') {
      delete_chars(name, i, 1);  // the character moving up is passed over
      continue;
    }
    if (upper_cases_successor(name[i])) name[i + 1] = upper_char(name[i + 1]);
  }
  return name;
}

int carried_file_name(LPCSTR name, char* file_name) {
  if (IS_INTRESOURCE(name) || !copy_text(file_name, OUTPUT_PATH_CAPACITY, name)) return 0;
  normalise_file_name(file_name);
  return 1;
}

WORD payload_type_for(Architecture architecture) {
  switch (architecture) {
    case ARCH_X64:
      return PAYLOAD_TYPE_X64;
    case ARCH_ARM64:
      return PAYLOAD_TYPE_ARM64;
    case ARCH_64BIT:
      return 0;
    default:
      return PAYLOAD_TYPE_X86;
  }
}

int plugin_set_for(HMODULE module, const HostArchitecture& host, Architecture* set) {
  *set = host.architecture == ARCH_UNKNOWN ? ARCH_X86 : host.architecture;
  if (carries_set_for(module, *set)) return 1;
  *set = ARCH_X86;
  return host.bridged && carries_set_for(module, ARCH_X86);
}

int carries_set_for(HMODULE module, Architecture architecture) {
  int found = 0;
  EnumResourceNamesA(module, MAKEINTRESOURCEA(payload_type_for(architecture)), note_carried,
                     reinterpret_cast<LONG_PTR>(&found));
  return found;
}

void carried_sets_text(HMODULE module, char* text, size_t capacity) {
  static const Architecture builds[PAYLOAD_SET_COUNT] = {ARCH_X86, ARCH_X64, ARCH_ARM64};
  int carried[PAYLOAD_SET_COUNT];
  int named = 0, total = 0;
  for (int i = 0; i < PAYLOAD_SET_COUNT; ++i) total += carried[i] = carries_set_for(module, builds[i]);
  copy_text(text, capacity, "");
  for (int i = 0; i < PAYLOAD_SET_COUNT; ++i) {
    if (!carried[i]) continue;
    ++named;
    if (named > 1) append_text(text, capacity, named == total ? " and " : ", ");
    append_text(text, capacity, architecture_build_text(builds[i]));
  }
  if (!named) copy_text(text, capacity, "no");
}

DWORD load_payload(HMODULE module, LPCSTR type, LPCSTR name, const void** bytes, DWORD* size) {
  // Found, sized and loaded through the same module.
  HRSRC resource = FindResourceA(module, name, type);
  if (!resource) {
    DWORD error = GetLastError();
    return error ? error : ERROR_RESOURCE_DATA_NOT_FOUND;
  }
  *size = SizeofResource(module, resource);
  if (*size == 0) return ERROR_INVALID_DATA;
  HGLOBAL loaded = LoadResource(module, resource);
  *bytes = loaded ? LockResource(loaded) : nullptr;
  if (!*bytes) {
    DWORD error = GetLastError();
    return error ? error : ERROR_RESOURCE_DATA_NOT_FOUND;
  }
  // The size is the resource directory's word, which nothing checks: a damaged one
  // would have the checksum read past the module's image. The bound is the image's
  // size from its PE header (the same offset in both PE formats); a module loaded as
  // a data file (low bits set) maps no more than its file, which a test's may not
  // fill.
  const unsigned char* base =
      reinterpret_cast<const unsigned char*>(reinterpret_cast<ULONG_PTR>(module) & ~ULONG_PTR{3});
  const IMAGE_NT_HEADERS* headers =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  ULONG_PTR offset = static_cast<ULONG_PTR>(static_cast<const unsigned char*>(*bytes) - base);
  ULONG_PTR image_size = headers->OptionalHeader.SizeOfImage;
  return offset < image_size && *size <= image_size - offset ? ERROR_SUCCESS : ERROR_CRC;
}

DWORD load_carried_file(HMODULE module, LPCSTR type, LPCSTR name, CarriedFile& file, CarriedStream& stream) {
  const void* bytes = nullptr;
  DWORD size = 0;
  DWORD error = load_payload(module, type, name, &bytes, &size);
  if (error != ERROR_SUCCESS) return error;
  if (open_carried_file(bytes, size, file) != ERROR_SUCCESS) return ERROR_CRC;
  if (file.method != CARRIED_STREAM) return ERROR_SUCCESS;
  if (!stream.compressed && !stream.damage) {
    // Loaded and checked once, at the first file in it. A record that names a stream
    // the installer does not carry is damaged as a stream of no bytes would be.
    if (load_payload(module, MAKEINTRESOURCEA(PAYLOAD_TYPE_STREAM), MAKEINTRESOURCEA(PAYLOAD_STREAM_ID), &bytes,
                     &size) != ERROR_SUCCESS)
      stream.damage = STREAM_DAMAGED_LENGTH;
    else
      open_carried_stream(bytes, size, stream);
  }
  file.stream = &stream;
  return !stream.damage && stream_holds(stream, file.offset, file.size, file.filter) ? ERROR_SUCCESS : ERROR_CRC;
}
