#include "silent_install.h"

#include <windows.h>

#include "app_state.h"
#include "bounded_text.h"
#include "candidate_list.h"
#include "install_log.h"
#include "install_run.h"
#include "payload.h"
#include "probe_sequence.h"

namespace {

// The first entry the dialog would list, its candidate index; -1 when there is none.
int first_listed_folder(char* folder) {
  for (int i = 0; i < candidate_count(); ++i)
    if (format_listed_entry(candidate_list.entries[i], folder)) return i;
  return -1;
}

}  // namespace

int run_silent_install(const char* target, Architecture forced) {
  run_probe_sequence();
  log_candidate_folders();
  HostArchitecture host;
  if (target[0]) {
    copy_text(chosen_folder, target);
    host = target_architecture(chosen_folder);
  } else {
    int listed = first_listed_folder(chosen_folder);
    if (listed < 0) {
      log_line("result: no target folder (none found, and no /D= given); exit code 2");
      return EXIT_NO_TARGET;
    }
    host = candidate_list.entries[listed].host;
  }
  if (forced != ARCH_UNKNOWN) host = {forced, EVIDENCE_COMMAND_LINE};
  log_target_architecture(host);
  if (!carries_set_for(host.architecture)) {
    log_no_build_for(chosen_folder, host.architecture);
    log_line("result: nothing written; exit code 5");
    return EXIT_NO_BUILD_FOR_HOST;
  }
  if (!enter_or_create_folder(chosen_folder)) {
    log_format("result: the target folder cannot be entered or created: %s; exit code 2", chosen_folder);
    return EXIT_NO_TARGET;
  }
  log_format("target folder: %s", chosen_folder);
  begin_install_attempt();
  int failures = install_payloads(host.architecture);
  if (failures) {
    log_format("result: %d plug-in(s) not written; exit code 3", failures);
    return EXIT_NOT_ALL_WRITTEN;
  }
  log_line("result: installed; exit code 0");
  return EXIT_INSTALLED;
}

int run_silent_install_all() {
  run_probe_sequence();
  log_candidate_folders();
  int listed = 0, installable = 0, failed_folders = 0;
  for (int i = 0; i < candidate_count(); ++i) {
    // One block of the log per folder: the folder, its architecture, what became of it.
    const CandidateFolder& entry = candidate_list.entries[i];
    if (!format_listed_entry(entry, chosen_folder)) continue;
    log_format("folder %d: %s", ++listed, chosen_folder);
    log_target_architecture(entry.host);
    if (!carries_set_for(entry.host.architecture)) {
      log_no_build_for(chosen_folder, entry.host.architecture);
      continue;
    }
    ++installable;
    int failures = 1;
    if (!enter_or_create_folder(chosen_folder)) {
      log_line("folder result: it can neither be entered nor created");
    } else {
      begin_install_attempt();
      failures = install_payloads(entry.host.architecture);
      if (failures) log_format("folder result: %d plug-in(s) not written", failures);
      else log_line("folder result: installed");
    }
    failed_folders += failures != 0;
  }
  if (!listed) {
    log_line("result: no folder found; exit code 2");
    return EXIT_NO_TARGET;
  }
  if (!installable) {
    log_line("result: no listed folder's image editor loads a build this installer carries; exit code 5");
    return EXIT_NO_BUILD_FOR_HOST;
  }
  if (failed_folders) {
    log_format("result: %d folder(s) did not get every plug-in; exit code 3", failed_folders);
    return EXIT_NOT_ALL_WRITTEN;
  }
  log_format("result: installed into %d folder(s); exit code 0", installable);
  return EXIT_INSTALLED;
}
