# The hosts of the third wave, seeded all at once, and the 32-bit hosts of the
# machine's 32-bit registry view: the folders the discovery report lists.
veltrane_add_e2e(e2e_more_hosts more_hosts.sh)
