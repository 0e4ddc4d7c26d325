// The last line of a run's log, which names its exit code.
#pragma once
#include "exit_codes.h"
#include "install_log.h"

// Logs "result: <what happened>; exit code N", with the words formatted by
// wvsprintfA, and returns `code`.
ExitCode end_run(InstallLog& log, ExitCode code, const char* format, ...);
