// Process-wide state of the installer program that more than one of its pieces
// reads. Start-up stores the module handle and opens the log; the dialog fills the
// skip list and the chosen folder before it hands them to the install engine.
#pragma once
#include <windows.h>

#include "bounded_text.h"  // PATH_CAPACITY
#include "control_host.h"
#include "install_log.h"
#include "skip_list.h"

class SkinPainter;

// The program's own module, as the entry point received it: it carries the plug-ins.
extern HINSTANCE instance_handle;

// The /LOG= file of this run; closed when none was asked for.
extern InstallLog run_log;

// The keys of the plug-ins switched off in the dialog, for the attempt under way.
extern SkipList skip_list;

// The folder the plug-ins are written into, as the user chose it. Entries of the
// drop-down list and browsed folders always end in "\"; the file name is appended
// to it as it stands.
extern char chosen_folder[PATH_CAPACITY];

// The one control host of the installer's window, and the painter that start-up
// creates for it and deletes at shutdown.
extern ControlHost control_host;
extern SkinPainter* skin_painter;

// Gives the process-wide tables whose free entries carry a flag (the candidate list
// and the skip list) their initial state. Called first thing by the program.
void reset_program_tables();
