# The real installer under Wine, driven with the mouse and the keyboard.
veltrane_add_e2e(e2e_installer_dialog installer_dialog.sh)
