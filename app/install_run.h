// What the dialog's install command, the unattended installs and the removal share:
// the log lines about the folders found and the target's architecture.
#pragma once
#include "host_architecture.h"

// Writes the candidate folders to the run's log: each entry as the list shows it
// with the probe row that found it, and entries left out because they do not fit.
void log_candidate_folders();

// Logs the target folder's architecture, where it came from and the set of plug-ins
// that serves it: "target architecture: x64 (host program); plug-in set: x64".
void log_target_architecture(const HostArchitecture& host);

// Logs why nothing is installed into `folder`: the installer carries
// no plug-ins for its host's architecture.
void log_no_build_for(const char* folder, Architecture host);
