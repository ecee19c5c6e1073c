# Runs the plugin demo and checks its account: the hook attached and brought
# the player to the wall, the long jump went further than the running jump,
# and a tracer was sent.
#   cmake -DDEMO=<program> [-DEMULATOR=<runner>] -P check_account.cmake
if(NOT DEMO)
  message(FATAL_ERROR "DEMO must name the demo program")
endif()
set(command ${DEMO})
if(EMULATOR)
  set(command ${EMULATOR} ${DEMO})
endif()
execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "\r" "" out "${out}")
message("${out}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the demo ended with ${status}: ${err}")
endif()

foreach(line
    "Metamod loaded grapnel_mm[^\n]*\"Grapnel Mod\""
    "Metamod loaded rix_mm[^\n]*\"RIX\""
    "\nAlice: \\+hook\n"
    "s: the hook attached to the wall at"
    "s: Alice arrived at the wall"
    "The hook lets go and is gone"
    "the plugin hands her the long jump \\(slj 1\\)"
    "Tracer message \\(TE_TRACER\\)"
    "\nSession over.\n")
  if(NOT out MATCHES "${line}")
    message(FATAL_ERROR "the account lacks a line matching: ${line}")
  endif()
endforeach()

if(NOT out MATCHES "Running jump distance ([0-9]+), long jump distance ([0-9]+)")
  message(FATAL_ERROR "the account gives no jump distances")
endif()
set(run ${CMAKE_MATCH_1})
set(long ${CMAKE_MATCH_2})
if(run LESS 100 OR NOT long GREATER run)
  message(FATAL_ERROR "long jump ${long} units against a running jump of ${run}")
endif()
if(NOT out MATCHES "Long jump \\(crouch, then jump\\): take-off ([0-9]+) units/s forward")
  message(FATAL_ERROR "the account gives no long-jump take-off speed")
endif()
if(CMAKE_MATCH_1 LESS 500)
  message(FATAL_ERROR "long-jump take-off of only ${CMAKE_MATCH_1} units/s")
endif()
