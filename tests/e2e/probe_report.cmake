# The discovery report program on a clean prefix and on one seeded with every kind of probe.
veltrane_add_e2e(e2e_probe_report probe_report.sh)
veltrane_add_e2e_smoke(smoke_probe_report probe_report.sh)
