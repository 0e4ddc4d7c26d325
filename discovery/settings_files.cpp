#include "settings_files.h"

#include <string.h>

#include "candidate_list.h"
#include "command_text.h"
#include "handles.h"
#include "host_architecture.h"
#include "host_folders.h"
#include "letters.h"
#include "message_text.h"
#include "path_helpers.h"
#include "registry_scan.h"
#include "safe_files.h"

namespace {

constexpr char ARRAYS_NAMESPACE[] = "http://schemas.microsoft.com/2003/10/Serialization/Arrays";
constexpr size_t FOLDER_TEXT_CAPACITY = 3 * PATH_CAPACITY;  // a folder in UTF-8 before it is converted

char settings_text[SETTINGS_LIMIT + 1];  // static: a megabyte
char list_text[4 * FOLDER_TEXT_CAPACITY];  // a whole list of folders, decoded

// One tag of an XML text, between "<" and ">": its name (after "<" or "</"), the
// local part of the name (after a prefix), and its end (the ">").
struct XmlTag {
  const char* name;
  const char* local;
  size_t local_length;
  const char* end;
  bool closing;
};

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The next tag at or after `p`; false at the end. Declarations and comments read as
// tags with names that match nothing.
bool next_tag(const char* p, XmlTag& tag) {
  p = strchr(p, '<');
  if (!p) return false;
  tag.closing = p[1] == '/';
  tag.name = tag.local = p + 1 + tag.closing;
  const char* q = tag.name;
  for (; *q && !is_space(*q) && *q != '>' && *q != '/'; ++q)
    if (*q == ':') tag.local = q + 1;
  tag.local_length = static_cast<size_t>(q - tag.local);
  tag.end = strchr(q, '>');
  return tag.end != nullptr;
}

bool is_named(const XmlTag& tag, const char* local) {
  return tag.local_length == text_length(local) && strncmp(tag.local, local, tag.local_length) == 0;
}

// The content of the first element named `local` (any prefix): from after its start
// tag to its end tag. False when there is none, or it has no end (a file cut short).
bool element_text(const char* text, const char* local, const char** begin, const char** end) {
  XmlTag tag;
  const char* start = nullptr;
  for (const char* p = text; next_tag(p, tag); p = tag.end) {
    if (!is_named(tag, local)) continue;
    if (!tag.closing && !start && tag.end[-1] != '/') start = tag.end + 1;
    if (tag.closing && start) {
      *begin = start;
      *end = tag.name - 2;
      return true;
    }
  }
  return false;
}

// "true" or "false" as an element's content; `fallback` when the element is missing.
int boolean_element(const char* text, const char* local, int fallback) {
  const char *begin, *end;
  if (!element_text(text, local, &begin, &end)) return fallback;
  while (is_space(*begin)) ++begin;
  return strncmp(begin, "false", 5) != 0;
}

// Where the declarations of one prefix were searched: the last one found before the
// elements met so far, and the next one after them. The elements come in order, so
// each declaration is found once and the text is read once per prefix, never once
// per element. A file of more prefixes than the table holds has the elements of the
// others passed over.
struct PrefixSearch {
  char declaration[48];  // xmlns:p=" or xmlns="
  const char* found;     // the last declaration before the elements met so far; null: none
  const char* next;      // the first one after them; null: none
};
constexpr int PREFIX_SEARCHES = 4;
PrefixSearch prefix_searches[PREFIX_SEARCHES + 1];  // the one after those in use: where the next is made
int prefix_search_count;

// Whether the element of `tag` ("p:string" or "string") is of the Arrays namespace:
// its prefix is declared for it on the tag itself or before it, last as the Arrays
// namespace. Asked about the elements of a text in their order, from the first
// after prefix_search_count is set to 0.
bool is_arrays_element(const char* text, const XmlTag& tag) {
  PrefixSearch* made = prefix_searches + prefix_search_count;
  char* declaration = made->declaration;
  size_t prefix = static_cast<size_t>(tag.local - tag.name);  // with its ":"
  if (prefix + 8 > sizeof made->declaration) return false;
  copy_text(declaration, 7, "xmlns:");
  memcpy(declaration + 6, tag.name, prefix);
  declaration[5 + prefix] = '\0';  // "xmlns" without a prefix, else "xmlns:p" without the prefix's ":"
  append_text(declaration, sizeof made->declaration, "=\"");
  PrefixSearch* search = prefix_searches;
  while (strncmp(search->declaration, declaration, sizeof made->declaration)) ++search;  // `made` at the latest
  if (search == made) {
    if (prefix_search_count == PREFIX_SEARCHES) return false;
    ++prefix_search_count;
    made->found = nullptr;
    made->next = strstr(text, declaration);
  }
  for (; search->next && search->next < tag.end; search->next = strstr(search->next + 1, declaration))
    search->found = search->next;
  const char* found = search->found;
  size_t length = text_length(ARRAYS_NAMESPACE);
  return found && (found += text_length(declaration), strncmp(found, ARRAYS_NAMESPACE, length) == 0) &&
         found[length] == '"';
}

// Decodes XML references in place in `text` (the five entities and &#N; &#xN;);
// false when one is malformed or names a character beyond the 16-bit range, which no
// ANSI code page holds anyway.
bool decode_references(WCHAR* text) {
  static const char entities[] = "amp;&\0lt;<\0gt;>\0quot;\"\0apos;'\0";  // each name, ";" and its character
  WCHAR* out = text;
  for (const WCHAR* p = text; *p; ++out) {
    WCHAR c = *p++;
    if (c == '&') {
      unsigned code = 0;
      if (*p == '#') {
        unsigned base = p[1] == 'x' ? 16 : 10;  // "&#x", never "&#X"
        p += base / 8;  // past "#", or "#x"
        for (; *p != ';'; ++p) {
          unsigned digit = static_cast<unsigned>(*p - '0');
          unsigned letter = static_cast<unsigned>((*p | 0x20) - 'a');  // "a" to "f" in either case: 0 to 5
          if (digit > 9) digit = letter < 6 ? letter + 10 : base;  // anything else is no digit of any base
          if (digit >= base || (code = code * base + digit) > 0xFFFF) return false;
        }
      } else {
        for (const char* entity = entities; *entity && !code; entity += text_length(entity) + 1) {
          size_t name = 0;
          while (entity[name] != ';' && p[name] == static_cast<WCHAR>(entity[name])) ++name;
          if (entity[name] == ';' && p[name] == ';') code = static_cast<unsigned char>(entity[name + 1]), p += name;
        }
      }
      if (!code || *p++ != ';') return false;
      c = static_cast<WCHAR>(code);
    }
    *out = c;
  }
  *out = 0;
  return true;
}

// Copies the text from `begin` to `end` into `out` (`capacity` bytes); false when it
// does not fit.
bool copy_span(const char* begin, const char* end, char* out, size_t capacity) {
  size_t length = static_cast<size_t>(end - begin);
  if (length >= capacity) return false;
  copy_text(out, length + 1, begin);  // the text goes on after `end`: only its first part is wanted
  return true;
}

int today_form(const char* text, const char* begin, const char* end, FolderSink sink, void* context) {
  int subfolders = boolean_element(text, "SearchSubdirectories", 1);
  int count = 0;
  prefix_search_count = 0;
  XmlTag tag;
  for (const char* p = begin; next_tag(p, tag) && tag.end < end; p = tag.end) {
    char folder[FOLDER_TEXT_CAPACITY];
    if (!tag.closing && is_named(tag, "string") && tag.end[-1] != '/' && is_arrays_element(text, tag) &&
        copy_span(tag.end + 1, strchr(tag.end, '<'), folder, sizeof folder)) {
      sink(folder, subfolders, context);
      ++count;
    }
  }
  return count;
}

int older_form(const char* text, FolderSink sink, void* context) {
  const char *begin, *end;
  char* list = list_text;
  if (!element_text(text, "searchDirs", &begin, &end) || !copy_span(begin, end, list, sizeof list_text)) return 0;
  int subfolders = boolean_element(text, "searchSubDirs", 1);
  int count = 0;
  char* folder = nullptr;  // the folder being gathered; parts that are not rooted continue it
  for (char* part = list;; ) {
    char* comma = strchr(part, ',');
    if (comma) *comma = '\0';
    if (is_rooted_path(part)) {
      if (folder) sink(folder, subfolders, context), ++count;
      folder = part;
    } else if (folder) {
      part[-1] = ',';  // the comma belonged to the folder's name
    }
    if (!comma) break;
    part = comma + 1;
  }
  if (folder) sink(folder, subfolders, context), ++count;
  return count;
}

// The folders of one settings file, from its first megabyte, as `parse` finds them.
void read_folders(const char* path, int (*parse)(const char*, FolderSink, void*), FolderSink sink, void* context) {
  FileHandle file(open_disk_file(path));
  if (!file.valid()) return;
  DWORD length = 0;
  if (!ReadFile(file.get(), settings_text, SETTINGS_LIMIT, &length, nullptr)) return;
  settings_text[length] = '\0';
  const char* text = settings_text;
  if (text[0] == '\xEF' && text[1] == '\xBB' && text[2] == '\xBF') text += 3;  // UTF-8's byte-order mark
  parse(text, sink, context);
}

// A UTF-8 folder in the ANSI code page, in `out` (PATH_CAPACITY bytes), its XML
// references decoded when `xml`; false when it is not valid UTF-8, a reference is
// malformed, or the code page cannot hold a character of it.
bool to_ansi(const char* folder, bool xml, char* out) {
  WCHAR wide[PATH_CAPACITY];
  BOOL defaulted = FALSE;
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, folder, -1, wide, PATH_CAPACITY) > 0 &&
         (!xml || decode_references(wide)) &&
         WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out, PATH_CAPACITY, nullptr, &defaulted) > 0 &&
         !defaulted;
}

// What the sink admits a settings file's folders with.
struct ListedFolders {
  ProbeFindings findings;
  bool xml;  // PSFilterPdn's XML: its folders hold character references
};

void admit_listed_folder(const char* folder, int with_subfolders, void* context) {
  ListedFolders& listed = *static_cast<ListedFolders*>(context);
  char path[PATH_CAPACITY];
  if (!to_ansi(folder, listed.xml, path) || !is_drive_path(path)) return;
  listed.findings.no_subfolders = !with_subfolders;
  admit_existing_folder(path, listed.findings);
}

}  // namespace

int psfilterpdn_folders(const char* text, FolderSink sink, void* context) {
  const char *begin, *end;
  if (element_text(text, "SearchDirectories", &begin, &end)) return today_form(text, begin, end, sink, context);
  XmlTag tag;
  for (const char* p = text; next_tag(p, tag); p = tag.end)
    if (is_named(tag, "SearchDirectories")) return 0;  // today's form, cut short or empty
  return older_form(text, sink, context);
}

int pspi_folders(const char* text, FolderSink sink, void* context) {
  const char* p = text;
  for (;; ++p) {  // "(pspi-path" where a line begins (after blanks), not in a comment
    p = strstr(p, "(pspi-path");
    if (!p) return 0;
    const char* line = p;
    while (line > text && (line[-1] == ' ' || line[-1] == '\t')) --line;
    if (line == text || line[-1] == '\n') break;
  }
  p += 10;
  while (is_space(*p)) ++p;
  if (*p++ != '"') return 0;
  char* list = list_text;
  size_t length = 0;
  for (; *p != '"'; ++p) {
    if (!*p) return 0;  // unterminated
    if (*p == '\\' && p[1]) ++p;
    if (length + 1 >= sizeof list_text) return 0;
    list[length++] = *p;
  }
  list[length] = '\0';
  int count = 0;
  for (char* folder = list; *folder;) {
    char* separator = strchr(folder, ';');
    if (separator) *separator = '\0';
    if (*folder) sink(folder, 1, context), ++count;
    if (!separator) break;
    folder = separator + 1;
  }
  return count;
}

void scan_psfilterpdn_settings(const ProbeRow& row, const ProbeFindings& findings, const FoundHost& found) {
  char path[PATH_CAPACITY];
  if (!user_folder_path(row.number, row.folder, path)) return;
  ListedFolders listed = {with_host_program(findings, (row.flags & ROW_FOUND_HOST) && found.found ? found.program : nullptr),
                          true};
  read_folders(path, psfilterpdn_folders, admit_listed_folder, &listed);
}

void scan_gimp_settings(const ProbeRow& row, const ProbeFindings& findings) {
  char path[PATH_CAPACITY], program[PATH_CAPACITY];
  if (!user_folder_path(row.number, row.folder, path)) return;
  if (!user_folder_path(row.number, row.match, program) || !file_exists(program)) {
    program[0] = '\0';
    char gimp[PATH_CAPACITY];
    for (int i = 0; i < 3 && !program[0]; ++i)  // the machine's 64-bit and 32-bit views, then the user's
      if (read_folder_place(i < 2 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, row.detail, "GIMP-2_is1\\InstallLocation", gimp,
                            i == 0 ? KEY_WOW64_64KEY : i == 1 ? KEY_WOW64_32KEY : 0) &&
          join_path(program, row.extra, gimp) && !file_exists(program))
        program[0] = '\0';
  }
  ListedFolders listed = {with_host_program(findings, program), false};
  read_folders(path, pspi_folders, admit_listed_folder, &listed);
}

namespace {

// The start of the line after the one `p` is in, or the end of the text.
const char* next_line(const char* p) {
  const char* end = strchr(p, '\n');
  return end ? end + 1 : p + text_length(p);
}

// The text after `head` (lower case, compared in any case) on the first line from
// `line` on that begins with it after blanks; null when there is none, or, for a
// `head` that is not a section's ("["), when a line that begins a section comes first.
const char* line_after(const char* line, const char* head) {
  for (; *line; line = next_line(line)) {
    const char* p = skip_blanks(line);
    if (starts_with_lower(p, head)) return p + text_length(head);
    if (*p == '[' && *head != '[') break;  // a key is looked for in its own section only
  }
  return nullptr;
}

// INI text is in the ANSI code page as the host wrote it: its folders are taken as they stand.
void admit_ini_folder(const char* folder, int, void* context) {
  char path[PATH_CAPACITY];
  if (copy_text(path, folder) && as_drive_folder(path))
    admit_existing_folder(path, *static_cast<const ProbeFindings*>(context));
}

int plugindir_folders(const char* text, FolderSink sink, void* context) {
  return ini_numbered_values(text, "[plug in]", "plugindir", sink, context);
}

}  // namespace

int ini_numbered_values(const char* text, const char* section, const char* key, FolderSink sink, void* context) {
  const char* body = line_after(text, section);
  int count = 0;
  for (int number = 1; body && number <= INI_KEY_LIMIT; ++number) {
    char name[PATH_CAPACITY], value[PATH_CAPACITY];
    format_text(name, "%s%d", key, number);
    const char* begin = body;
    // The key, blanks and "="; "plugindir10" on a line does not name "plugindir1".
    while ((begin = line_after(begin, name)) && *(begin = skip_blanks(begin)) != '=') begin = next_line(begin);
    if (!begin) break;  // the host reads its keys up to the first one missing
    // Blanks around the value and an opening quote go with the admission's own trimming.
    const char* end = ++begin;
    while (*end && *end != '\r' && *end != '\n') ++end;
    if (end > begin && end[-1] == '"') --end;  // a quoted folder's closing quote
    if (copy_span(begin, end, value, sizeof value)) sink(value, 1, context), ++count;
  }
  return count;
}

void scan_plugindir_settings(const ProbeRow& row, const ProbeFindings& findings) {
  char path[PATH_CAPACITY];
  if (!user_folder_path(row.number, row.folder, path)) return;
  ProbeFindings listed = findings;
  read_folders(path, plugindir_folders, admit_ini_folder, &listed);
}
