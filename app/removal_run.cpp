#include "removal_run.h"

#include <windows.h>

#include "install_log.h"
#include "install_run.h"
#include "probe_sequence.h"
#include "removal.h"
#include "silent_install.h"

namespace {

constexpr size_t REMOVAL_MESSAGE_CAPACITY = 6000;

// Returns the number of files to remove.
int plan_for(const char* target) {
  run_probe_sequence();
  log_candidate_folders();
  begin_removal();
  add_listed_folders_for_removal();
  if (target[0]) add_removal_folder(target);
  return plan_removal();
}

}  // namespace

int run_silent_removal(const char* target) {
  plan_for(target);
  int failures = carry_out_removal();
  log_removal();
  if (failures) {
    log_format("result: %d file(s) not removed; exit code 3", failures);
    return EXIT_NOT_ALL_WRITTEN;
  }
  log_line("result: removed; exit code 0");
  return EXIT_INSTALLED;
}

void run_removal_with_messages(const char* target) {
  static char message[REMOVAL_MESSAGE_CAPACITY];
  if (plan_for(target)) {
    compose_removal_question(message, sizeof message);
    if (MessageBoxA(nullptr, message, REMOVAL_TITLE, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
      log_line("result: removal cancelled, nothing removed");
      return;
    }
  }
  carry_out_removal();
  log_removal();
  log_line("result: removal done");
  compose_removal_result(message, sizeof message);
  MessageBoxA(nullptr, message, REMOVAL_TITLE, MB_OK | MB_ICONINFORMATION);
}
