// Process-wide state of the installer application that more than one piece reads.
// Start-up stores the module handle; the install command sets the target folder
// before it writes the carried plug-ins.
#pragma once
#include <windows.h>

#include "painter.h"
#include "path_helpers.h"

// The program's own module, as the entry point received it. The carried plug-ins
// are found and loaded through it.
extern HINSTANCE instance_handle;

// The folder the plug-ins are written into, as the user chose it. Entries of the
// drop-down list and browsed folders always end in "\"; the file name is appended
// to it as it stands.
extern char chosen_folder[PATH_CAPACITY];

// The one control host of the installer's window, and the painter that start-up
// creates for it and deletes at shutdown.
extern ControlHost control_host;
extern SkinPainter* skin_painter;
