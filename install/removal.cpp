#include "removal.h"

#include <string.h>

#include "carried_plugins.h"
#include "crc32.h"
#include "handles.h"
#include "letters.h"
#include "message_text.h"
#include "folder_paths.h"
#include "plugin_writer.h"  // is_linked_folder
#include "replace_file.h"
#include "safe_files.h"

namespace {

BOOL CALLBACK note_carried_name(HMODULE, LPCSTR, LPSTR name, LONG_PTR plan_parameter) {
  RemovalPlan& plan = *reinterpret_cast<RemovalPlan*>(plan_parameter);
  char file_name[OUTPUT_PATH_CAPACITY];
  if (!carried_file_name(name, file_name)) return TRUE;
  for (int i = 0; i < plan.name_count; ++i)
    if (lstrcmpiA(plan.names[i], file_name) == 0) return TRUE;
  if (plan.name_count < CARRIED_NAME_CAPACITY) copy_text(plan.names[plan.name_count++], file_name);
  return TRUE;
}

void collect_carried_names(RemovalPlan& plan, HMODULE module) {
  plan.name_count = 0;
  for (WORD type : PAYLOAD_TYPES)
    EnumResourceNamesA(module, MAKEINTRESOURCEA(type), note_carried_name, reinterpret_cast<LONG_PTR>(&plan));
}

unsigned char file_block[16384];  // static: over the 4,000-byte frame limit; read a block at a time

// Compares the bytes a carried build unpacks to with the next bytes of an open file.
DWORD compare_with_file(void* file, const unsigned char* expected, DWORD size) {
  for (DWORD done = 0; done < size;) {
    DWORD wanted = size - done < sizeof file_block ? size - done : static_cast<DWORD>(sizeof file_block);
    DWORD read = 0;
    if (!ReadFile(*static_cast<HANDLE*>(file), file_block, wanted, &read, nullptr) || read != wanted)
      return ERROR_INVALID_DATA;
    for (DWORD i = 0; i < wanted; ++i, ++done)
      if (file_block[i] != expected[done]) return ERROR_INVALID_DATA;  // the unpacking stops at the first difference
  }
  return ERROR_SUCCESS;
}

int rewind(HANDLE file) { return SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER; }

// The CRC-32 of the open file's `size` bytes; 0 when they cannot be read.
int file_checksum(HANDLE file, DWORD size, DWORD* crc) {
  *crc = 0;
  if (!rewind(file)) return 0;
  for (DWORD left = size, read = 0; left; left -= read) {
    DWORD wanted = left < sizeof file_block ? left : static_cast<DWORD>(sizeof file_block);
    if (!ReadFile(file, file_block, wanted, &read, nullptr) || read != wanted) return 0;
    *crc = crc32_update(*crc, file_block, read);
  }
  return 1;
}

// A file on disk against the carried builds of its name. Its length, then its
// checksum (read once), must be a build's recorded ones; only then, when the bytes
// are to be confirmed, is that build decoded and compared with it.
struct BuildMatch {
  HMODULE module;
  const char* file_name;
  HANDLE file;
  CarriedStream* stream;
  DWORD size;
  int checksummed;  // 0 until the file's checksum is read; -1 when it cannot be
  DWORD checksum;
  int confirm;
  int matched;
  DWORD offset;  // the build's place in the stream
};

BOOL CALLBACK compare_with_build(HMODULE, LPCSTR type, LPSTR name, LONG_PTR context) {
  BuildMatch& match = *reinterpret_cast<BuildMatch*>(context);
  char file_name[OUTPUT_PATH_CAPACITY];
  if (!carried_file_name(name, file_name) || lstrcmpiA(file_name, match.file_name) != 0) return TRUE;
  CarriedFile carried;
  if (load_carried_file(match.module, type, name, carried, *match.stream) != ERROR_SUCCESS || carried.size != match.size)
    return TRUE;
  if (!match.checksummed) match.checksummed = file_checksum(match.file, match.size, &match.checksum) ? 1 : -1;
  if (match.checksummed < 0 || match.checksum != carried.checksum) return TRUE;
  match.offset = carried.offset;
  match.matched = !match.confirm ||
                  (rewind(match.file) && unpack_carried_file(carried, compare_with_file, &match.file) == ERROR_SUCCESS);
  return !match.matched;
}

// Nobody may write the file while its bytes are compared and it is removed. A link
// in the last component is opened itself.
HANDLE open_for_removal(const char* path, DWORD access) {
  return CreateFileA(path, access | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL | UNTRUSTED_NAME_FLAGS, nullptr);
}

// What becomes of the entry's file, judged through `file`, opened for the removal:
// kept when it is a link to a file elsewhere or its length and checksum (and, with
// `confirm`, its bytes) are not those of a carried build of its name, not removable
// when it could not be opened or is read-only (`error` says why), else to be removed.
void judge(HMODULE module, const FileHandle& file, RemovalEntry& entry, CarriedStream& stream, int confirm) {
  BY_HANDLE_FILE_INFORMATION facts;
  BuildMatch match = {module, after_last_backslash(entry.path), file.get(), &stream, 0, 0, 0, confirm, 0, 0};
  if (!file.valid()) {
    entry.error = GetLastError();
    entry.outcome = REMOVAL_NOT_REMOVED;
    return;
  }
  entry.outcome = REMOVAL_LINK;
  if (!is_own_file_at(file.get(), entry.path)) return;
  entry.outcome = REMOVAL_KEPT;
  if (!GetFileInformationByHandle(file.get(), &facts) || facts.nFileSizeHigh) return;
  match.size = facts.nFileSizeLow;
  for (WORD type : PAYLOAD_TYPES)
    if (!match.matched)
      EnumResourceNamesA(module, MAKEINTRESOURCEA(type), compare_with_build, reinterpret_cast<LONG_PTR>(&match));
  if (!match.matched) return;
  entry.offset = match.offset;
  entry.error = check_replaceable(entry.path);
  entry.outcome = entry.error == ERROR_SUCCESS ? REMOVAL_TO_REMOVE : REMOVAL_NOT_REMOVED;
}

// Deletes the file once it is judged again, its bytes too, through the handle that
// deletes it, so a file changed since it was examined is kept.
void remove_entry(HMODULE module, RemovalEntry& entry, CarriedStream& stream) {
  FileHandle file(open_for_removal(entry.path, GENERIC_READ | DELETE));
  judge(module, file, entry, stream, 1);
  if (entry.outcome != REMOVAL_TO_REMOVE) return;
  if (delete_open_file(file.get())) {
    entry.outcome = REMOVAL_REMOVED;
  } else {
    entry.outcome = REMOVAL_NOT_REMOVED;
    entry.error = GetLastError();
  }
}

int is_maker_subfolder(const char* folder) { return ends_with_lower(folder, "\\veltrane\\"); }

int count_outcome(const RemovalPlan& plan, RemovalOutcome outcome) {
  int count = 0;
  for (int i = 0; i < plan.count; ++i) count += plan.entries[i].outcome == outcome;
  return count;
}

// Appends `line` and a line end when both fit below `capacity - reserve`; else counts it.
void append_line(char* text, size_t capacity, size_t reserve, const char* line, int& untold) {
  if (untold || text_length(text) + text_length(line) + 2 >= capacity - reserve) {
    ++untold;
    return;
  }
  append_text(text, capacity, line);
  append_text(text, capacity, "\r\n");
}

// Each entry of `outcome` under a heading, grouped by folder.
void append_entries(const RemovalPlan& plan, char* text, size_t capacity, const char* heading,
                    RemovalOutcome outcome) {
  if (!count_outcome(plan, outcome)) return;
  const size_t reserve = 400;  // room for the headings and sums that follow
  append_text(text, capacity, heading);
  int untold = 0, folder = -1;
  for (int i = 0; i < plan.count; ++i) {
    const RemovalEntry& entry = plan.entries[i];
    if (entry.outcome != outcome) continue;
    if (entry.folder != folder) {
      folder = entry.folder;
      append_line(text, capacity, reserve, plan.folders[folder], untold);
    }
    char line[OUTPUT_PATH_CAPACITY + 8] = "    ";
    append_text(line, after_last_backslash(entry.path));
    append_line(text, capacity, reserve, line, untold);
  }
  append_untold(text, capacity, untold);
}

}  // namespace

void begin_removal(RemovalPlan& plan) {
  plan.folder_count = 0;
  plan.name_count = 0;
  plan.count = 0;
  plan.dropped = 0;
  plan.removed_folder_count = 0;
}

void add_removal_folder(RemovalPlan& plan, const char* folder) {
  char normal[PATH_CAPACITY];
  if (plan.folder_count == REMOVAL_FOLDER_CAPACITY || !copy_text(normal, folder) || !ensure_trailing_separator(normal))
    return;
  for (int i = 0; i < plan.folder_count; ++i)
    if (lstrcmpiA(plan.folders[i], normal) == 0) return;
  copy_text(plan.folders[plan.folder_count++], normal);
}

int plan_removal(RemovalPlan& plan, HMODULE module) {
  CarriedStream stream = {};
  collect_carried_names(plan, module);
  plan.count = 0;
  plan.dropped = 0;
  for (int folder = 0; folder < plan.folder_count; ++folder) {
    plan.leftovers[folder] = 0;
    plan.linked[folder] = is_linked_folder(plan.folders[folder]);
    if (plan.linked[folder]) continue;
    for (int name = 0; name < plan.name_count; ++name) {
      char path[OUTPUT_PATH_CAPACITY];
      if (!copy_text(path, plan.folders[folder]) || !append_text(path, plan.names[name])) continue;
      if (!file_exists(path)) continue;
      if (plan.count == REMOVAL_CAPACITY) {
        ++plan.dropped;
        continue;
      }
      RemovalEntry& entry = plan.entries[plan.count++];
      copy_text(entry.path, path);
      entry.folder = folder;
      entry.error = ERROR_SUCCESS;
      FileHandle file(open_for_removal(entry.path, GENERIC_READ));
      judge(module, file, entry, stream, 0);  // by length and checksum: nothing is decoded yet
    }
  }
  close_carried_stream(stream);
  return count_outcome(plan, REMOVAL_TO_REMOVE);
}

int carry_out_removal(RemovalPlan& plan, HMODULE module) {
  int emptied[REMOVAL_FOLDER_CAPACITY] = {};
  CarriedStream stream = {};
  // Folder by folder (the entries come in folder order), each in stream order, so that
  // the stream is decoded at most once per folder.
  for (;;) {
    RemovalEntry* next = nullptr;
    for (int i = 0; i < plan.count; ++i) {
      RemovalEntry& entry = plan.entries[i];
      if (entry.outcome == REMOVAL_TO_REMOVE && (!next || (entry.folder == next->folder && entry.offset < next->offset)))
        next = &entry;
    }
    if (!next) break;
    remove_entry(module, *next, stream);
    if (next->outcome == REMOVAL_REMOVED) emptied[next->folder] = 1;
  }
  plan.passes = stream.passes;
  close_carried_stream(stream);
  // The installer's own leftovers, then only a maker's sub-folder this run took files
  // out of, and only when nothing is left in it: RemoveDirectory refuses a folder
  // that is not empty.
  for (int folder = 0; folder < plan.folder_count; ++folder) {
    const char* path = plan.folders[folder];
    if (plan.linked[folder]) continue;
    plan.leftovers[folder] = remove_leftover_temp_files(path);
    if (plan.leftovers[folder]) emptied[folder] = 1;
    if (emptied[folder] && is_maker_subfolder(path) && RemoveDirectoryA(path))
      copy_text(plan.removed_folders[plan.removed_folder_count++], path);
  }
  return count_outcome(plan, REMOVAL_NOT_REMOVED) + plan.dropped;
}

void compose_removal_question(const RemovalPlan& plan, char* text, size_t capacity) {
  copy_text(text, capacity, "");
  append_entries(plan, text, capacity, "Setup will remove these plug-ins of Veltrane Plugins:\r\n", REMOVAL_TO_REMOVE);
  int kept = count_outcome(plan, REMOVAL_KEPT), stuck = count_outcome(plan, REMOVAL_NOT_REMOVED);
  char sums[160];
  if (kept) {
    format_text(sums, "\r\n%d file(s) of the same name but other contents will be kept.\r\n", kept);
    append_text(text, capacity, sums);
  }
  if (stuck) {
    format_text(sums, "\r\n%d file(s) cannot be removed: read-only or in use.\r\n", stuck);
    append_text(text, capacity, sums);
  }
  append_text(text, capacity, "\r\nOK removes them; Cancel changes nothing.");
}

void compose_removal_result(const RemovalPlan& plan, char* text, size_t capacity) {
  copy_text(text, capacity, "");
  if (!count_outcome(plan, REMOVAL_REMOVED) && !count_outcome(plan, REMOVAL_NOT_REMOVED) && !plan.dropped)
    append_text(text, capacity, "No plug-ins of Veltrane Plugins were found to remove.\r\n");
  append_entries(plan, text, capacity, "Removed:\r\n", REMOVAL_REMOVED);
  append_entries(plan, text, capacity, "Kept, since their contents are not those of Veltrane Plugins:\r\n",
                 REMOVAL_KEPT);
  append_entries(plan, text, capacity, "Kept, since they are links to files elsewhere:\r\n", REMOVAL_LINK);
  append_entries(plan, text, capacity, "Could not be removed (read-only, or in use by a running image editor):\r\n",
                 REMOVAL_NOT_REMOVED);
  if (plan.dropped) {
    char more[96];
    format_text(more, "%d further file(s) were not examined.\r\n", plan.dropped);
    append_text(text, capacity, more);
  }
}

void log_removal(const RemovalPlan& plan, InstallLog& log) {
  for (int i = 0; i < plan.folder_count; ++i)
    log_format(log, plan.linked[i] ? "folder passed over, a link: %s" : "folder examined: %s", plan.folders[i]);
  for (int i = 0; i < plan.count; ++i) {
    const RemovalEntry& entry = plan.entries[i];
    if (entry.outcome == REMOVAL_REMOVED) {
      log_format(log, "removed: %s", entry.path);
    } else if (entry.outcome == REMOVAL_KEPT) {
      log_format(log, "kept: %s (other contents)", entry.path);
    } else if (entry.outcome == REMOVAL_LINK) {
      log_format(log, "kept: %s (a link)", entry.path);
    } else if (entry.outcome == REMOVAL_NOT_REMOVED) {
      char phrase[ERROR_PHRASE_CAPACITY];
      error_phrase(entry.error, phrase, sizeof phrase);
      log_format(log, "not removed: %s %s", entry.path, phrase);
    }
  }
  for (int i = 0; i < plan.folder_count; ++i)
    if (plan.leftovers[i]) log_format(log, "removed %d leftover temporary file(s) in %s", plan.leftovers[i], plan.folders[i]);
  for (int i = 0; i < plan.removed_folder_count; ++i) log_format(log, "removed folder: %s", plan.removed_folders[i]);
  if (plan.dropped) log_format(log, "not examined: %d further file(s)", plan.dropped);
}
