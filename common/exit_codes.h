// The installer's exit codes with /S (without /S it always ends with 0).
#pragma once

enum ExitCode {
  EXIT_INSTALLED = 0,          // every carried plug-in written (with /U: everything found removed)
  EXIT_BAD_COMMAND_LINE = 1,
  EXIT_NO_TARGET = 2,          // none found and none given, or it cannot be entered or made
  EXIT_NOT_ALL_WRITTEN = 3,    // some plug-ins not written (the others are; old ones kept)
  EXIT_ALREADY_RUNNING = 4,    // another copy of the installer is running
  EXIT_NO_BUILD_FOR_HOST = 5,  // nothing carried for the target's architecture; nothing written
  EXIT_INTERNAL_ERROR = 255,   // a fault in the installer itself (a pure virtual call): a bug
};
