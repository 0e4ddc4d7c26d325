// What the dialog's install command, the unattended installs and the removal share:
// the log lines about the folders found and the target's architecture.
#pragma once
#include "host_architecture.h"

// Writes the candidate folders to the run's log: each entry as the list shows it
// with the probe row that found it, and entries left out because they do not fit.
void log_candidate_folders();

// The set of plug-ins written into a folder whose host is `host` (plugin_set_for over
// the installer's own module), logged with the folder's architecture and where it
// came from: "target architecture: x64 (host program); plug-in set: x64", and for a
// bridged host served by the x86 set, why. 0 when no carried set serves the host.
int choose_plugin_set(const HostArchitecture& host, Architecture* set);

// Logs why nothing is installed into `folder`: the installer carries
// no plug-ins for its host's architecture.
void log_no_build_for(const char* folder, Architecture host);
