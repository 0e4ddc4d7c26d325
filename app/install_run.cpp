#include "install_run.h"

#include <windows.h>

#include "app_state.h"
#include "candidate_list.h"
#include "carried_plugins.h"
#include "probe_sequence.h"

void log_candidate_folders() {
  if (!install_log_open(run_log)) return;
  int count = candidate_count();
  if (count == 0) log_line(run_log, "candidate folders: none found");
  for (int i = 0; i < count; ++i) {
    char listed[PATH_CAPACITY];
    if (format_listed_entry(candidate_list.entries[i], listed))
      log_format(run_log, "candidate (probe row %d): %s", candidate_list.entries[i].row, listed);
    else
      log_format(run_log, "candidate (probe row %d) left out, too long with the maker's folder: %s", candidate_list.entries[i].row,
                 candidate_list.entries[i].path);
  }
}

int choose_plugin_set(const HostArchitecture& host, Architecture* set) {
  int served = plugin_set_for(instance_handle, host, set);
  Architecture shown = served ? *set : host.architecture == ARCH_UNKNOWN ? ARCH_X86 : host.architecture;
  bool known = host.architecture != ARCH_UNKNOWN;
  // A set the installer does not carry is named as the missing one.
  log_format(run_log, "target architecture: %s%s%s%s; %splug-in set: %s%s",
             known ? architecture_name(host.architecture) : "unknown", known ? " (" : "",
             known ? evidence_name(host.evidence) : "", known ? ")" : "", served ? "" : "missing ",
             architecture_name(shown),
             served && host.bridged && *set != host.architecture ? " (loaded through the host's 32-bit helper)" : "");
  return served;
}

void log_no_build_for(const char* folder, Architecture host) {
  char carried[96];
  carried_sets_text(instance_handle, carried, sizeof carried);
  log_format(run_log, "not installed into %s: its host is a %s, and this installer carries %s plug-ins", folder,
             architecture_host_text(host), carried);
}
