// The existence test of a folder by entering it. Windows holds the process's current
// directory open, so a current directory left inside a plug-in folder would keep
// other programs (and the installer's own removal) from removing or renaming it:
// every test gives the current directory back as it was.
#pragma once

// 1 when `folder` can be made the current directory (SetCurrentDirectoryA); the
// current directory is then set back to where it was before the call.
int can_enter_folder(const char* folder);
