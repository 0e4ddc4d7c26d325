# Hosts of each architecture and installers that carry different builds: what the
# discovery reports for each folder and which build lands in it.

# Host programs for x86 and x64, built with both MinGW-w64 compilers whatever this
# tree's own target, and an ARM64 one made by patching the x64 one's header.
set(hosts ${CMAKE_CURRENT_BINARY_DIR}/hosts)
set(set_machine sh ${PROJECT_SOURCE_DIR}/tests/support/set_pe_machine.sh)
set(host_programs "")
foreach(arch x86 x64)
  add_custom_command(OUTPUT ${hosts}/${arch}/Host.exe
    COMMAND ${CMAKE_COMMAND} -E make_directory ${hosts}/${arch}
    COMMAND ${VELTRANE_DEMO_CC_${arch}} -Os -s ${CMAKE_CURRENT_SOURCE_DIR}/host_stand_in.c -o ${hosts}/${arch}/Host.exe
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/host_stand_in.c
    VERBATIM)
  list(APPEND host_programs ${hosts}/${arch}/Host.exe)
endforeach()
add_custom_command(OUTPUT ${hosts}/arm64/Host.exe
  COMMAND ${CMAKE_COMMAND} -E make_directory ${hosts}/arm64
  COMMAND ${set_machine} ${hosts}/x64/Host.exe ${hosts}/arm64/Host.exe aa64
  DEPENDS ${hosts}/x64/Host.exe ${PROJECT_SOURCE_DIR}/tests/support/set_pe_machine.sh
  VERBATIM)
list(APPEND host_programs ${hosts}/arm64/Host.exe)
add_custom_target(e2e_host_programs ALL DEPENDS ${host_programs})

# An installer that carries the demo's x86 build and an ARM64 "build" (the x64 one
# with an ARM64 header), but no x64 build.
get_property(demo_x86 GLOBAL PROPERTY VELTRANE_DEMO_PLUGIN_x86)
get_property(demo_x64 GLOBAL PROPERTY VELTRANE_DEMO_PLUGIN_x64)
set(demo_arm64 ${CMAKE_CURRENT_BINARY_DIR}/arm64/TessoraOndelDemo.8bf)
add_custom_command(OUTPUT ${demo_arm64}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/arm64
  COMMAND ${set_machine} ${demo_x64} ${demo_arm64} aa64
  DEPENDS ${demo_x64} ${PROJECT_SOURCE_DIR}/tests/support/set_pe_machine.sh
  VERBATIM)
add_custom_target(e2e_demo_arm64 DEPENDS ${demo_arm64})
add_dependencies(e2e_demo_arm64 veltrane_demo_payload)
veltrane_add_installer(setup_x86_arm64)
set_target_properties(setup_x86_arm64 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
veltrane_add_plugin(setup_x86_arm64 ${demo_x86} ARCH x86 DEPENDS veltrane_demo_payload)
veltrane_add_plugin(setup_x86_arm64 ${demo_arm64} ARCH arm64 DEPENDS e2e_demo_arm64)

veltrane_add_e2e(e2e_architectures architectures.sh)
veltrane_add_e2e_smoke(smoke_architectures architectures.sh)
