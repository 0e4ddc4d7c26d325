# Installing onto a volume too full for the demo plug-in keeps the old plug-in.
veltrane_add_e2e(payload_full_volume payload_full_volume.sh)
set_tests_properties(payload_full_volume PROPERTIES SKIP_RETURN_CODE 77)
