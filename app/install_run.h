// Steps that the dialog's install command and the unattended install share.
#pragma once

// Makes `folder` the current directory, or else creates it (only its last
// component: a folder whose parent is missing too is not made). 1 when the folder
// exists now.
int enter_or_create_folder(const char* folder);

// Writes the candidate folders to the install log: each entry as the list shows it
// with the probe row that found it, and entries left out because they do not fit.
void log_candidate_folders();
