# The installer on a machine it cannot trust: links, devices and pipes, foreign
# arguments, odd registry values and unlistable folders.
veltrane_add_e2e(e2e_hardening hardening.sh)
