#include "run_result.h"

#include <stdarg.h>

ExitCode end_run(InstallLog& log, ExitCode code, const char* format, ...) {
  if (!install_log_open(log)) return code;
  char words[LOG_LINE_CAPACITY];
  va_list arguments;
  va_start(arguments, format);
  wvsprintfA(words, format, arguments);
  va_end(arguments);
  log_format(log, "result: %s; exit code %d", words, static_cast<int>(code));
  return code;
}
