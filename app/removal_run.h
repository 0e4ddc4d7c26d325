// /U: removing the installer's plug-ins from every folder the dialog would list and
// from the /D= folder, unattended (/S) or with one question and one answer.
#pragma once

// The removal with /S: no window. Exit code 0 when everything found is removed (or
// there was nothing), 3 when a file could not be removed. The log lists every file.
int run_silent_removal(const char* target);

// The removal without /S: one message box lists what will be removed (OK and
// Cancel; nothing is removed before OK), then one box tells what became of each file.
void run_removal_with_messages(const char* target);

constexpr char REMOVAL_TITLE[] = "Veltrane Plugins : Removal";
