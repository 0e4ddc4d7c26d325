#include "failure_message.h"

#include "bounded_text.h"
#include "carried_plugins.h"
#include "message_text.h"

namespace {

const char* advice_for(FailureKind kind) {
  switch (kind) {
    case FAILURE_DISK_FULL:
      return "the disk is full. Free some space on it, then choose Retry.";
    case FAILURE_IN_USE:
      return "the file is in use. An image editor that is running holds its plug-ins open: "
             "close it, then choose Retry.";
    case FAILURE_ACCESS_DENIED:
      return "access is denied. The file is read-only, or this account may not write to the "
             "folder: choose another folder, or run Setup as administrator.";
    default:
      return nullptr;
  }
}

// "Name.8bf: what happened." for one failure.
void describe_failure(const PayloadFailure& failure, char* line, size_t capacity) {
  copy_text(line, capacity, failure.file_name);
  append_text(line, capacity, ": ");
  const char* advice = advice_for(classify_failure(failure.error));
  if (advice) {
    append_text(line, capacity, advice);
    return;
  }
  char reason[512];
  failure_system_text(failure.error, reason, sizeof reason);
  char code[32];
  wsprintfA(code, " (error %lu)", failure.error);
  append_text(line, capacity, reason);
  append_text(line, capacity, code);
}

}  // namespace

void compose_failure_message(const char* folder, const PayloadFailures& failures, char* text) {
  const size_t capacity = FAILURE_MESSAGE_CAPACITY;
  const char closing[] = "\r\nRetry writes them again; Cancel lets you choose another folder.";
  const size_t reserve = sizeof closing + 64;  // room kept for the summary and closing lines
  copy_text(text, capacity, "Setup could not write these plug-ins into the folder\r\n");
  append_text(text, capacity - reserve, folder);
  append_text(text, capacity, "\r\n\r\n");
  int told = 0;
  for (; told < failures.count; ++told) {
    char line[1200];
    describe_failure(failures.entries[told], line, sizeof line);
    append_text(line, sizeof line, "\r\n");
    if (!append_text(text, capacity - reserve, line)) break;
  }
  append_untold(text, capacity, failures.count - told + failures.dropped);
  if (failures.stopped)
    append_text(text, capacity, "The plug-ins after it were not tried.\r\n");
  append_text(text, capacity, closing);
}

void compose_no_build_message(HMODULE module, const char* folder, Architecture host, char* text) {
  const size_t capacity = FAILURE_MESSAGE_CAPACITY;
  char carried[96];
  carried_sets_text(module, carried, sizeof carried);
  copy_text(text, capacity, "Nothing was installed into the folder\r\n");
  append_text(text, capacity, folder);
  append_text(text, capacity, "\r\n\r\nIts host is a ");
  append_text(text, capacity, architecture_host_text(host));
  append_text(text, capacity, ", which loads only ");
  append_text(text, capacity, architecture_build_text(host));
  append_text(text, capacity, " plug-ins. This installer carries plug-ins for ");
  append_text(text, capacity, carried);
  append_text(text, capacity, " image editors.");
  append_text(text, capacity, "\r\n\r\nChoose the folder of another image editor, or ask the maker for the ");
  append_text(text, capacity, architecture_build_text(host));
  append_text(text, capacity, " plug-ins.");
}
