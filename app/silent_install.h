// The unattended install (/S): no window and no message box. Runs the folder
// discovery, takes the target folder, writes every carried plug-in and returns the
// process's exit code (exit_codes.h).
#pragma once
#include "architecture.h"

// `target` is the /D= folder (ends in "\"), or empty for the first folder the
// dialog would list. `forced` is the /ARCH= architecture, ARCH_UNKNOWN when absent.
int run_silent_install(const char* target, Architecture forced);

// /S /ALL: every folder the dialog would list, in list order, each with the set of
// its own architecture; folders whose set is not carried are passed over and
// logged. 0 when every installable folder got every plug-in, EXIT_NOT_ALL_WRITTEN
// when any write failed (the others are done), EXIT_NO_BUILD_FOR_HOST when no listed
// folder could take any plug-in, EXIT_NO_TARGET when nothing is listed.
int run_silent_install_all();
