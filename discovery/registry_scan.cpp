#include "registry_scan.h"

#include <string.h>

#include "bounded_text.h"
#include "candidate_list.h"
#include "code_page.h"
#include "handles.h"
#include "letters.h"

int value_cursor = 0;

namespace {

// The registry's strings are read in their wide form: the ANSI calls would hand over
// a look-alike of a character the code page lacks ("Ａ" as "A").
constexpr DWORD DATA_OFFERED = REGISTRY_OFFERED * sizeof(WCHAR);

LONG open_key_for_reading(HKEY root, const char* key_path, RegKey& key, REGSAM view = 0) {
  return RegOpenKeyExA(root, key_path, 0, KEY_READ | view, key.put());
}

// A 32-bit program that reads the 64-bit view reads what 64-bit programs wrote, so
// their Program Files folders are the 64-bit ones, not those of its own "(x86)" view.
// The names are as long as the ones they replace, so the text stays in place. Only
// where 64-bit programs have folders of their own: there %ProgramW6432% expands (an
// unset variable stays as written). `scratch` is a PATH_CAPACITY buffer it may use.
void name_64bit_folders(char* text, char* scratch) {
  if (sizeof(void*) != 4 || !expand_exactly("%ProgramW6432%", scratch) || scratch[0] == '%') return;
  static const char renamed[] = "%programfiles%\0%ProgramW6432%\0%commonprogramfiles%\0%CommonProgramW6432%\0";
  for (char* p = text; *p; ++p)
    for (const char* name = renamed; *name; name += 2 * (text_length(name) + 1))
      if (starts_with_lower(p, name)) memcpy(p, name + text_length(name) + 1, text_length(name));
}

// The mirror for the 64-bit program reading the 32-bit view, where 32-bit programs
// wrote: their Program Files folders are the "(x86)" ones. Those names are longer, so
// the text is written anew in `scratch` (a PATH_CAPACITY buffer) and copied back; a
// result that does not fit leaves `text` empty.
void name_32bit_folders(char* text, char* scratch) {
  if (sizeof(void*) != 8) return;
  static const char renamed[] =
      "%programfiles%\0%ProgramFiles(x86)%\0%commonprogramfiles%\0%CommonProgramFiles(x86)%\0";
  size_t length = 0;
  for (const char* p = text; *p;) {
    const char* name = renamed;
    while (*name && !starts_with_lower(p, name)) name += text_length(name) + 1, name += text_length(name) + 1;
    const char* piece = *name ? name + text_length(name) + 1 : p;  // the new name, or the character as it is
    size_t piece_length = *name ? text_length(piece) : 1;
    p += *name ? text_length(name) : 1;
    if (length + piece_length >= static_cast<size_t>(PATH_CAPACITY)) {
      text[0] = '\0';
      return;
    }
    memcpy(scratch + length, piece, piece_length);
    length += piece_length;
  }
  scratch[length] = '\0';
  copy_text(text, PATH_CAPACITY, scratch);
}

// REG_EXPAND_SZ data expanded in place in its PATH_CAPACITY buffer; a result that
// does not fit, or that the code page cannot hold, leaves nothing.
void expand_string_data(char* data, REGSAM view) {
  char scratch[PATH_CAPACITY];
  if (view == KEY_WOW64_64KEY) name_64bit_folders(data, scratch);
  if (view == KEY_WOW64_32KEY) name_32bit_folders(data, scratch);
  expand_exactly(data, data);
}

// The registry hands back string data without a terminator when it fills the buffer
// exactly (or when the value was stored without one); `wide` has room for one after
// the 256 characters offered. Data of other types, and data the code page cannot hold
// exactly, read as empty; REG_EXPAND_SZ data is expanded. `data` is PATH_CAPACITY bytes.
void keep_string_data(LONG result, DWORD type, DWORD size, WCHAR* wide, char* data, REGSAM view) {
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size > DATA_OFFERED) size = 0;
  wide[size / sizeof(WCHAR)] = L'\0';
  if (!narrow_exactly(wide, data, PATH_CAPACITY)) data[0] = '\0';
  if (type == REG_EXPAND_SZ && data[0]) expand_string_data(data, view);
}

// Values whose key or name says "plug-in folder" are taken whatever the host.
bool names_a_plugin_folder(const char* key_path, const char* value_name) {
  return strstr(key_path, "plug") || strstr(value_name, "plug") || strstr(value_name, "directory1") ||
         strstr(value_name, "directory2") || strstr(value_name, "directory3");
}

// Decides whether one enumerated value is a candidate and, if so, admits it.
// Lower-cases `key_path` and `name` in place; the registry treats names alike in any case.
void filter_value(char* key_path, char* name, char* data, const char* key_pattern, const char* value_key,
                  const char* suffix, const ProbeFindings& findings) {
  if (!data[0]) return;
  if (!is_drive_path(strip_leading_nonletters(data))) return;
  if (!strstr(lower_ascii(key_path), key_pattern)) return;
  if (!names_a_plugin_folder(key_path, lower_ascii(name))) {
    if (!value_key || !strstr(name, value_key)) return;
    if (suffix && !append_text(data, PATH_CAPACITY, suffix)) return;
  }
  admit_candidate(data, findings);
}

// The vendor key below one root: [.default\]base\vendor. 0 when it does not fit.
int vendor_key_path(HKEY root, const char* base, const char* vendor, char* key_path) {
  key_path[0] = '\0';
  if (root == HKEY_USERS && !append_text(key_path, PATH_CAPACITY, ".default\\")) return 0;
  return append_text(key_path, PATH_CAPACITY, base) && append_text(key_path, PATH_CAPACITY, "\\") &&
         append_text(key_path, PATH_CAPACITY, vendor);
}

void scan_root(HKEY root, REGSAM view, char* key_path, const char* key_pattern, const char* value_key,
               const char* suffix, const ProbeFindings& findings) {
  char name[PATH_CAPACITY];
  char data[PATH_CAPACITY];
  KeyPathStack stack;
  stack.top = -1;
  int index = 0;
  for (;;) {
    if (next_string_value(root, key_path, name, data, view) == ERROR_SUCCESS) {
      filter_value(key_path, name, data, key_pattern, value_key, suffix, findings);
      continue;
    }
    // This key's values are done: enter its next subkey, or climb back up.
    for (;;) {
      if (subkey_at(root, key_path, index, name, view) == ERROR_SUCCESS) {
        if (push_level(stack, key_path, name, index)) break;
        ++index;  // too deep or too long: skip that subkey
        continue;
      }
      int saved = pop_level(stack, key_path);
      if (saved < 0) return;
      index = saved + 1;
    }
  }
}

}  // namespace

LONG read_string_value(HKEY root, const char* key_path, const char* value_name, char* out, REGSAM view) {
  RegKey key;
  LONG result = open_key_for_reading(root, key_path, key, view);
  if (result != ERROR_SUCCESS) {
    out[0] = '\0';
    return result;
  }
  WCHAR name[PATH_CAPACITY], data[REGISTRY_OFFERED + 1];
  MultiByteToWideChar(CP_ACP, 0, value_name, -1, name, PATH_CAPACITY);
  DWORD type = REG_NONE;
  DWORD size = DATA_OFFERED;
  result = RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  keep_string_data(result, type, size, data, out, view);
  return result;
}

LONG next_string_value(HKEY root, const char* key_path, char* name_out, char* data_out, REGSAM view) {
  name_out[0] = '\0';
  data_out[0] = '\0';
  RegKey key;
  LONG result = open_key_for_reading(root, key_path, key, view);
  if (result != ERROR_SUCCESS) {
    value_cursor = 0;
    return result;
  }
  WCHAR name[REGISTRY_OFFERED], data[REGISTRY_OFFERED + 1];
  name[0] = L'\0';
  DWORD name_size = REGISTRY_OFFERED;
  DWORD data_size = DATA_OFFERED;
  DWORD type = REG_NONE;
  result = RegEnumValueW(key.get(), static_cast<DWORD>(value_cursor), name, &name_size, nullptr, &type,
                         reinterpret_cast<BYTE*>(data), &data_size);
  // A name or data too long for the buffers is passed over: the key's later values
  // are still read. A name only filters (its lost characters match no letter).
  if (result == ERROR_MORE_DATA) {
    result = ERROR_SUCCESS;
    type = REG_NONE;
    name[0] = L'\0';
  }
  narrow_exactly(name, name_out, PATH_CAPACITY);
  keep_string_data(result, type, data_size, data, data_out, view);
  ++value_cursor;
  if (result != ERROR_SUCCESS) {
    name_out[0] = '\0';
    value_cursor = 0;
  }
  return result;
}

LONG subkey_at(HKEY root, const char* key_path, int index, char* name_out, REGSAM view) {
  name_out[0] = '\0';
  RegKey key;
  LONG result = open_key_for_reading(root, key_path, key, view);
  if (result != ERROR_SUCCESS) return result;
  DWORD name_size = REGISTRY_OFFERED;
  result = RegEnumKeyExA(key.get(), static_cast<DWORD>(index), name_out, &name_size, nullptr, nullptr, nullptr,
                         nullptr);
  if (result != ERROR_SUCCESS) name_out[0] = '\0';
  return result;
}

int push_level(KeyPathStack& stack, char* key_path, const char* name, int& index) {
  if (stack.top + 1 >= MAX_HELD_LEVELS) return 0;
  size_t length = text_length(key_path);
  if (length + 1 + text_length(name) + 1 > static_cast<size_t>(PATH_CAPACITY)) return 0;
  ++stack.top;
  stack.saved_index[stack.top] = index;
  stack.saved_length[stack.top] = static_cast<int>(length);
  append_text(key_path, PATH_CAPACITY, "\\");
  append_text(key_path, PATH_CAPACITY, name);
  index = 0;
  return 1;
}

int pop_level(KeyPathStack& stack, char* key_path) {
  if (stack.top < 0) return -1;
  key_path[stack.saved_length[stack.top]] = '\0';
  return stack.saved_index[stack.top--];
}

void scan_vendor_registry(const char* base, const char* vendor, const char* key_pattern, const char* value_key,
                          const char* suffix, const ProbeFindings& findings) {
  char key_path[PATH_CAPACITY];
  // The 64-bit build reads the machine's 32-bit view too (i == 2), where 32-bit hosts
  // wrote; the user hives have one view. The 32-bit build reads its own view only.
  const int users = sizeof(void*) == 8 ? 3 : 2;
  for (int i = 0; i <= users; ++i) {
    // Chosen in code, not read from a table: the root handles are not constants the
    // compiler could keep in read-only data.
    HKEY root = i == 0 ? HKEY_CURRENT_USER : i < users ? HKEY_LOCAL_MACHINE : HKEY_USERS;
    REGSAM view = sizeof(void*) == 8 && i == 2 ? KEY_WOW64_32KEY : 0;
    if (vendor_key_path(root, base, vendor, key_path))
      scan_root(root, view, key_path, key_pattern, value_key, suffix, findings);
  }
}
