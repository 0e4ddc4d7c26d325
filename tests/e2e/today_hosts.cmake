# The editors people use today besides Photoshop, seeded all at once: the folders the
# discovery report lists, bridged installs, and settings files that give nothing.
veltrane_add_e2e(e2e_today_hosts today_hosts.sh)
