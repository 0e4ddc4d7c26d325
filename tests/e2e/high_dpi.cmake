# The real installer on screens of 192 and 144 DPI.
veltrane_add_e2e(e2e_high_dpi high_dpi.sh)
