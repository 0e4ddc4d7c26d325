#include "silent_install.h"

#include <windows.h>

#include "app_state.h"
#include "candidate_list.h"
#include "carried_plugins.h"
#include "run_result.h"
#include "install_run.h"
#include "plugin_writer.h"
#include "probe_sequence.h"

namespace {

// The first entry the dialog would list, its candidate index; -1 when there is none.
int first_listed_folder(char* folder) {
  for (int i = 0; i < candidate_count(); ++i)
    if (format_listed_entry(candidate_list.entries[i], folder)) return i;
  return -1;
}

// Every carried plug-in of `set` into `folder`, nothing switched off; the
// number of plug-ins not written.
int write_all_plugins(const char* folder, Architecture set) {
  static PayloadFailures failures;  // static: two 500-byte names per entry
  const InstallTarget target = {instance_handle, folder, set, nullptr, &run_log};
  return install_payloads(target, failures);
}

}  // namespace

int run_silent_install(const char* target, Architecture forced) {
  run_probe_sequence();
  log_candidate_folders();
  char folder[PATH_CAPACITY];
  HostArchitecture host;
  if (target[0]) {
    copy_text(folder, target);
    host = target_architecture(folder);
  } else {
    int listed = first_listed_folder(folder);
    if (listed < 0) return end_run(run_log, EXIT_NO_TARGET, "no target folder (none found, and no /D= given)");
    host = candidate_list.entries[listed].host;
  }
  if (forced != ARCH_UNKNOWN) host = {forced, EVIDENCE_COMMAND_LINE, host.bridged};
  Architecture set;
  if (!choose_plugin_set(host, &set)) {
    log_no_build_for(folder, host.architecture);
    return end_run(run_log, EXIT_NO_BUILD_FOR_HOST, "nothing written");
  }
  if (const char* refused = enter_or_create_folder(folder))
    return end_run(run_log, EXIT_NO_TARGET, "target folder not written, %s: %s", refused, folder);
  log_format(run_log, "target folder: %s", folder);
  int failures = write_all_plugins(folder, set);
  if (failures) return end_run(run_log, EXIT_NOT_ALL_WRITTEN, "%d plug-in(s) not written", failures);
  return end_run(run_log, EXIT_INSTALLED, "installed");
}

int run_silent_install_all() {
  run_probe_sequence();
  log_candidate_folders();
  int listed = 0, installable = 0, failed_folders = 0;
  for (int i = 0; i < candidate_count(); ++i) {
    // One block of the log per folder: the folder, its architecture, what became of it.
    const CandidateFolder& entry = candidate_list.entries[i];
    char folder[PATH_CAPACITY];
    if (!format_listed_entry(entry, folder)) continue;
    log_format(run_log, "folder %d: %s", ++listed, folder);
    Architecture set;
    if (!choose_plugin_set(entry.host, &set)) {
      log_no_build_for(folder, entry.host.architecture);
      continue;
    }
    ++installable;
    int failures = 1;
    if (const char* refused = enter_or_create_folder(folder)) {
      log_format(run_log, "folder result: not written, %s", refused);
    } else {
      failures = write_all_plugins(folder, set);
      if (failures) log_format(run_log, "folder result: %d plug-in(s) not written", failures);
      else log_line(run_log, "folder result: installed");
    }
    failed_folders += failures != 0;
  }
  if (!listed) return end_run(run_log, EXIT_NO_TARGET, "no folder found");
  if (!installable)
    return end_run(run_log, EXIT_NO_BUILD_FOR_HOST,
                   "no listed folder's image editor loads a build this installer carries");
  if (failed_folders)
    return end_run(run_log, EXIT_NOT_ALL_WRITTEN, "%d folder(s) did not get every plug-in", failed_folders);
  return end_run(run_log, EXIT_INSTALLED, "installed into %d folder(s)", installable);
}
