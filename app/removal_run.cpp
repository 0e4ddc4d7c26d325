#include "removal_run.h"

#include <windows.h>

#include "app_state.h"
#include "candidate_list.h"
#include "run_result.h"
#include "install_run.h"
#include "probe_sequence.h"
#include "removal.h"

namespace {

constexpr size_t REMOVAL_MESSAGE_CAPACITY = 6000;

RemovalPlan removal_plan;  // large: static storage

// Every folder the dialog would list, as it lists it, and the /D= folder. Returns
// the number of files to remove.
int plan_for(const char* target) {
  run_probe_sequence();
  log_candidate_folders();
  begin_removal(removal_plan);
  char listed[PATH_CAPACITY];
  for (int i = 0; i < candidate_count(); ++i)
    if (format_listed_entry(candidate_list.entries[i], listed)) add_removal_folder(removal_plan, listed);
  if (target[0]) add_removal_folder(removal_plan, target);
  return plan_removal(removal_plan, instance_handle);
}

}  // namespace

int run_silent_removal(const char* target) {
  plan_for(target);
  int failures = carry_out_removal(removal_plan, instance_handle);
  log_removal(removal_plan, run_log);
  if (failures) return end_run(run_log, EXIT_NOT_ALL_WRITTEN, "%d file(s) not removed", failures);
  return end_run(run_log, EXIT_INSTALLED, "removed");
}

void run_removal_with_messages(const char* target) {
  static char message[REMOVAL_MESSAGE_CAPACITY];  // static: over the 4,000-byte frame limit
  if (plan_for(target)) {
    compose_removal_question(removal_plan, message, sizeof message);
    if (MessageBoxA(nullptr, message, REMOVAL_TITLE, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
      log_line(run_log, "result: removal cancelled, nothing removed");
      return;
    }
  }
  carry_out_removal(removal_plan, instance_handle);
  log_removal(removal_plan, run_log);
  log_line(run_log, "result: removal done");
  compose_removal_result(removal_plan, message, sizeof message);
  MessageBoxA(nullptr, message, REMOVAL_TITLE, MB_OK | MB_ICONINFORMATION);
}
