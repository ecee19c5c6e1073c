# cmake -DLIB=<library> -DMAX=<major.minor> -P check_symbol_versions.cmake
# Fails when the library needs a glibc symbol version newer than MAX, or any
# C++ runtime symbol: a plugin like that would not load on an older server.
execute_process(COMMAND objdump -T ${LIB} OUTPUT_VARIABLE dyn RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${LIB}")
endif()
string(REGEX MATCHALL "GLIBC_[0-9]+\\.[0-9]+(\\.[0-9]+)?" versions "${dyn}")
list(REMOVE_DUPLICATES versions)
foreach(v ${versions})
  string(REPLACE "GLIBC_" "" number ${v})
  if(number VERSION_GREATER MAX)
    message(FATAL_ERROR "${LIB} needs ${v} (newest allowed: GLIBC_${MAX})")
  endif()
endforeach()
if(dyn MATCHES "GLIBCXX_|CXXABI_")
  message(FATAL_ERROR "${LIB} needs the C++ runtime")
endif()
message(STATUS "${LIB}: ${versions}")
