// Installs the payloads it carries into FOLDER the way the installer's install
// command does, skipping those that hold one of the KEYs, and prints one line per
// payload it could not write: file name, Windows error code and kind, tab-separated
// (and "stopped" when the run ended early). The exit code is the number of failures.
//
//   payload_install_probe FOLDER\ [KEY...]
#include <stdio.h>

#include "plugin_writer.h"

int main(int argc, char** argv) {
  if (argc < 2) return 100;
  static SkipList skip_list;
  static PayloadFailures payload_failures;
  clear_skip_list(skip_list);
  for (int i = 2; i < argc; ++i) add_skip_key(skip_list, argv[i]);
  const InstallTarget target = {GetModuleHandleA(nullptr), argv[1], ARCH_UNKNOWN, &skip_list, nullptr};
  int failures = install_payloads(target, payload_failures);
  static const char* const kinds[] = {"", "disk-full", "in-use", "access-denied", "other", "damaged"};
  for (int i = 0; i < payload_failures.count; ++i) {
    const PayloadFailure& failure = payload_failures.entries[i];
    printf("%s\t%lu\t%s\n", failure.file_name, failure.error, kinds[classify_failure(failure.error)]);
  }
  if (payload_failures.stopped) printf("stopped\n");
  return failures;
}
