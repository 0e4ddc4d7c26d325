# An installer that carries real DLLs in its compressed stream, in an x86 and an x64
# build of each plug-in (the MinGW-w64 runtime DLLs, stripped as plug-ins ship: a
# large and a small one), and a file that does not compress (the demo's pseudo-random
# data), in the stream too: what it writes, what /U recognises, and what a damaged
# copy of it does.
set(real_dlls ${CMAKE_CURRENT_BINARY_DIR}/real_dlls)
set(carried_files "")
foreach(arch x86 x64)
  string(REGEX REPLACE "-gcc-posix$" "-strip" strip "${VELTRANE_DEMO_CC_${arch}}")
  foreach(pair "Big Filter.8bf=libstdc++-6.dll" "Small Filter.8bf=libgomp-1.dll")
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 name)
    list(GET pair 1 library)
    execute_process(COMMAND ${VELTRANE_DEMO_CC_${arch}} -print-file-name=${library}
                    OUTPUT_VARIABLE source OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(plugin "${real_dlls}/${arch}/${name}")
    add_custom_command(OUTPUT "${plugin}"
      COMMAND ${CMAKE_COMMAND} -E make_directory ${real_dlls}/${arch}
      COMMAND ${strip} -s -o "${plugin}" "${source}"
      DEPENDS "${source}"
      VERBATIM)
    list(APPEND carried_files "${plugin}")
  endforeach()
endforeach()
set(noise "${real_dlls}/x86/Noise.8bf")
get_property(demo_data GLOBAL PROPERTY VELTRANE_DEMO_DATA)
add_custom_command(OUTPUT "${noise}"
  COMMAND ${CMAKE_COMMAND} -E make_directory ${real_dlls}/x86
  COMMAND ${CMAKE_COMMAND} -E copy ${demo_data} "${noise}"
  DEPENDS ${demo_data}
  VERBATIM)
add_custom_target(e2e_real_dlls DEPENDS ${carried_files} "${noise}")
add_dependencies(e2e_real_dlls veltrane_demo_payload)

veltrane_add_installer(setup_carried)
set_target_properties(setup_carried PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
foreach(plugin IN LISTS carried_files)
  get_filename_component(arch_dir "${plugin}" DIRECTORY)
  get_filename_component(arch "${arch_dir}" NAME)
  veltrane_add_plugin(setup_carried "${plugin}" ARCH ${arch} DEPENDS e2e_real_dlls)
endforeach()
veltrane_add_plugin(setup_carried "${noise}" ARCH x86 DEPENDS e2e_real_dlls)

veltrane_add_e2e(e2e_carried carried.sh)
