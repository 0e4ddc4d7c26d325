# Unattended installs: /S, /D=, /LOG= and the exit codes.
veltrane_add_e2e(e2e_unattended unattended.sh)
veltrane_add_e2e_smoke(smoke_unattended unattended.sh)
