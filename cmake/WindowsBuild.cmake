# What the Windows cross build needs around the sources: the header-only libraries from Debian's
# packages, and the C++ runtime DLLs beside the programs.

# windows.h must leave std::min and std::max alone.
add_compile_definitions(NOMINMAX)

# nlohmann-json, Boost and CLI11 are headers only; they are seen through a folder of links to
# them, so that the build machine's other system headers stay out of the Windows build.
set(ORVANTA_HEADER_LINKS ${CMAKE_BINARY_DIR}/header-libraries)
file(MAKE_DIRECTORY ${ORVANTA_HEADER_LINKS})
foreach(header_library nlohmann boost CLI)
  if(NOT EXISTS /usr/include/${header_library})
    message(FATAL_ERROR "/usr/include/${header_library} is missing (scripts/install-deps.sh)")
  endif()
  file(CREATE_LINK /usr/include/${header_library} ${ORVANTA_HEADER_LINKS}/${header_library}
       SYMBOLIC)
endforeach()
foreach(target nlohmann_json::nlohmann_json Boost::headers CLI11::CLI11)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${ORVANTA_HEADER_LINKS}
                                             INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${ORVANTA_HEADER_LINKS})
endforeach()

# One C++ runtime for velhost.exe, VelLib.dll and Orvanta.dll, as DLLs beside them.
file(MAKE_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
    message(FATAL_ERROR "the compiler's ${dll} was not found")
  endif()
  file(COPY ${dll_path} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
endforeach()

# A version resource for a program or DLL: product, version and description in its Properties.
function(orvanta_version_resource target file description)
  set(ORVANTA_RC_FILE ${file})
  set(ORVANTA_RC_DESCRIPTION ${description})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(ORVANTA_RC_TYPE VFT_APP)
  else()
    set(ORVANTA_RC_TYPE VFT_DLL)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
