// The message the installer shows when carried plug-ins could not be written: the
// folder, each file with what went wrong in words the user can act on, and what
// Retry and Cancel do. Composed from the failure record of the last write run.
#pragma once
#include <windows.h>

#include <stddef.h>

#include "architecture.h"
#include "plugin_writer.h"

constexpr size_t FAILURE_MESSAGE_CAPACITY = 4096;

// Fills `text` (FAILURE_MESSAGE_CAPACITY bytes) from `failures`. Files that do not
// fit are summed up in a last line instead of being cut in the middle.
void compose_failure_message(const char* folder, const PayloadFailures& failures, char* text);

// 1 when the record holds a damaged carried file (FAILURE_DAMAGED): a new attempt
// would fail the same way, so the message offers no Retry.
int failures_show_damage(const PayloadFailures& failures);

// Shows `text` (from compose_failure_message) with Retry and Cancel, or with Cancel
// alone when the failures show damage. IDRETRY when the user chose Retry.
int show_failure_message(HWND owner, const char* title, const char* text, const PayloadFailures& failures);

// The message for a folder whose host loads a build of plug-ins the installer does
// not carry: the folder, the host's kind ("64-bit (x64) image editor") and the builds
// `module` carries. Fills `text` (FAILURE_MESSAGE_CAPACITY bytes).
void compose_no_build_message(HMODULE module, const char* folder, Architecture host, char* text);
