# Signing for plug-in makers: a build with a throwaway certificate signs its
# installer, which verifies, breaks when its code changes, and still installs.
veltrane_add_e2e(e2e_signing signing.sh ${PROJECT_SOURCE_DIR} ${CMAKE_TOOLCHAIN_FILE})
set_tests_properties(e2e_signing PROPERTIES TIMEOUT 600)  # a configure and build of its own
