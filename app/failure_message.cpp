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
  if (classify_failure(failure.error) == FAILURE_DAMAGED) {
    append_text(line, capacity, DAMAGED_INSTALLER_TEXT);
    append_text(line, capacity, ".");
    return;
  }
  const char* advice = advice_for(classify_failure(failure.error));
  if (advice) {
    append_text(line, capacity, advice);
    return;
  }
  char reason[512];
  failure_system_text(failure.error, reason, sizeof reason);
  char code[32];
  format_text(code, " (error %lu)", failure.error);
  append_text(line, capacity, reason);
  append_text(line, capacity, code);
}

// A message box has no style with Cancel alone: its one OK button is labelled Cancel
// while it opens (the box is activated on this thread before it takes any input).
LRESULT CALLBACK label_button_cancel(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) SetWindowTextA(GetDlgItem(reinterpret_cast<HWND>(wparam), IDOK), "Cancel");
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

int failures_show_damage(const PayloadFailures& failures) {
  for (int i = 0; i < failures.count; ++i)
    if (classify_failure(failures.entries[i].error) == FAILURE_DAMAGED) return 1;
  return 0;
}

int show_failure_message(HWND owner, const char* title, const char* text, const PayloadFailures& failures) {
  if (!failures_show_damage(failures)) return MessageBoxA(owner, text, title, MB_RETRYCANCEL | MB_ICONWARNING);
  HHOOK hook = SetWindowsHookExA(WH_CBT, label_button_cancel, nullptr, GetCurrentThreadId());
  MessageBoxA(owner, text, title, MB_OK | MB_ICONERROR);
  if (hook) UnhookWindowsHookEx(hook);
  return IDCANCEL;
}

void compose_failure_message(const char* folder, const PayloadFailures& failures, char* text) {
  const size_t capacity = FAILURE_MESSAGE_CAPACITY;
  const char* closing = failures_show_damage(failures)
                            ? "\r\nNothing was written: the folder is as it was."
                            : "\r\nRetry writes them again; Cancel lets you choose another folder.";
  const size_t reserve = text_length(closing) + 64;  // room kept for the summary and closing lines
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
