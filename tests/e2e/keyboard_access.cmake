# The real installer from the keyboard, read by a screen reader from another process.
veltrane_add_e2e(e2e_keyboard_access keyboard_access.sh)
