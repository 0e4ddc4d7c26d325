// The unattended install (/S): no window and no message box. Runs the folder
// discovery, takes the target folder, writes every carried plug-in and returns the
// process's exit code.
#pragma once
#include "architecture.h"

enum SilentExitCode {
  EXIT_INSTALLED = 0,        // every carried plug-in written
  EXIT_BAD_COMMAND_LINE = 1,
  EXIT_NO_TARGET = 2,        // none found and none given, or it cannot be entered or made
  EXIT_NOT_ALL_WRITTEN = 3,  // some plug-ins not written (the others are; old ones kept)
  EXIT_ALREADY_RUNNING = 4,  // another copy of the installer is running
  EXIT_NO_BUILD_FOR_HOST = 5,  // nothing carried for the target's architecture; nothing written
};

// `target` is the /D= folder (ends in "\"), or empty for the first folder the
// dialog would list. `forced` is the /ARCH= architecture, ARCH_UNKNOWN when absent.
int run_silent_install(const char* target, Architecture forced);

// /S /ALL: every folder the dialog would list, in list order, each with the set of
// its own architecture; folders whose set is not carried are passed over and
// logged. 0 when every installable folder got every plug-in, EXIT_NOT_ALL_WRITTEN
// when any write failed (the others are done), EXIT_NO_BUILD_FOR_HOST when no listed
// folder could take any plug-in, EXIT_NO_TARGET when nothing is listed.
int run_silent_install_all();
