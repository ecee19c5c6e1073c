# nuvdm_add_plugin(<target> <output-name> SOURCES ...)
# A server plugin: a shared library with no C++ runtime, hidden symbols and
# only the exports its sources mark, so it loads on old and new servers alike.
function(nuvdm_add_plugin target output)
  cmake_parse_arguments(P "" "" "SOURCES" ${ARGN})
  add_library(${target} SHARED ${P_SOURCES})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME "${output}${NUVDM_PLUGIN_SUFFIX}"
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_compile_options(${target} PRIVATE
    -fno-exceptions -fno-rtti -fno-threadsafe-statics -fno-asynchronous-unwind-tables)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/platform)
  if(WIN32)
    # GiveFnptrsToDll is stdcall: export it as "GiveFnptrsToDll", without the
    # "@8" decoration (the .def files' alias alone would export both names).
    target_link_options(${target} PRIVATE -Wl,--kill-at)
  else()
    target_link_options(${target} PRIVATE -Wl,--no-undefined -static-libgcc)
    target_link_libraries(${target} PRIVATE ${CMAKE_DL_LIBS})
  endif()
endfunction()
