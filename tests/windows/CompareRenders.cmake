# Renders the same scenarios with the Linux plug-in (native vsthost) and with a
# Windows DLL (vsthost.exe under wine) and requires bit-identical audio.
#   cmake -DNATIVE_VSTHOST=... -DSO=... -DWINE_RUN=... -DPREFIX=... -DWIN_VSTHOST=...
#         -DDLL=... -DWAV_COMPARE=... -DOUT=... -P CompareRenders.cmake
# Scenarios: every process type, coefficient counts from 1 to 32, the six
# programs, a host-value speed, a redesign through TBW, odd block sizes.
# First, both plug-ins (SO / DLL, QUORLIN_SO / QUORLIN_DLL) must answer
# vsthost's info requests (description, programs, parameters and their
# texts, can-do answers) exactly as the Linux build does.
foreach(v NATIVE_VSTHOST SO QUORLIN_SO WIN_VSTHOST DLL QUORLIN_DLL WAV_COMPARE)
  if(NOT EXISTS ${${v}})
    message(FATAL_ERROR "${${v}} is missing (${v}); build the linux preset before the Windows ones")
  endif()
endforeach()
file(MAKE_DIRECTORY ${OUT})

# One scenario per entry, its arguments separated by '|'.
set(scenarios
  "--program|0"
  "--program|1|--param-text|1=2"
  "--program|2|--param-text|1=3|--param-text|0=4"
  "--program|3|--param-text|1=4|--param-text|0=1|--block|77"
  "--program|4|--param-text|1=5|--param-text|0=24|--param-text|3=0.05"
  "--program|5|--param-text|1=6|--param-text|0=32"
  "--param-text|1=7|--param-text|0=16|--param|2=0.8"
  "--param-text|1=8|--param-text|0=2|--block|1000"
  "--param-text|1=9|--param-text|0=9|--param-text|3=0.2"
  "--program|5"
  "--program|4|--param-text|1=1|--param-text|0=12|--rate|48000"
  "--program|2|--param|0=0.5|--param|2=1.0")
foreach(pair "${SO}|${DLL}" "${QUORLIN_SO}|${QUORLIN_DLL}")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 linux)
  list(GET pair 1 windows)
  execute_process(COMMAND ${NATIVE_VSTHOST} info ${linux} OUTPUT_VARIABLE a RESULT_VARIABLE rc_a)
  execute_process(COMMAND ${WINE_RUN} ${PREFIX} ${WIN_VSTHOST} info ${windows} OUTPUT_VARIABLE b RESULT_VARIABLE rc_b)
  string(REPLACE "\r" "" b "${b}")
  string(REGEX REPLACE "^file[^\n]*\n" "" a "${a}")
  string(REGEX REPLACE "^file[^\n]*\n" "" b "${b}")
  if(NOT rc_a EQUAL 0 OR NOT rc_b EQUAL 0 OR NOT a STREQUAL b OR a STREQUAL "")
    message(FATAL_ERROR "${windows} answers otherwise than ${linux}:\n--- Linux\n${a}\n--- Windows\n${b}")
  endif()
  message(STATUS "${windows} answers as ${linux}")
endforeach()

set(n 0)
set(failed "")
foreach(scenario IN LISTS scenarios)
  math(EXPR n "${n} + 1")
  string(REPLACE "|" ";" s "${scenario}")
  string(REPLACE "|" " " shown "${scenario}")
  set(a ${OUT}/so-${n}.wav)
  set(b ${OUT}/dll-${n}.wav)
  execute_process(COMMAND ${NATIVE_VSTHOST} render ${SO} ${a} ${s} --seconds 1.5
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "native render failed (${shown}): ${err}")
  endif()
  execute_process(COMMAND ${WINE_RUN} ${PREFIX} ${WIN_VSTHOST} render ${DLL} ${b} ${s} --seconds 1.5
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Windows render failed (${shown}): ${err}")
  endif()
  execute_process(COMMAND ${WINE_RUN} ${PREFIX} ${WAV_COMPARE} ${a} ${b}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc EQUAL 0)
    string(STRIP "${out}" out)
    message(STATUS "[${shown}] ${out}")
  else()
    message(STATUS "[${shown}] DIFFERS: ${err}")
    list(APPEND failed "${shown}")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "renders differ from the Linux plug-in's: ${failed}")
endif()
message(STATUS "${n} scenarios bit-identical between ${SO} and ${DLL}")
