# Reads a plug-in DLL's headers with objdump and checks what a host relies on:
#   cmake -DOBJDUMP=... -DDLL=... -DFORMAT=pei-i386|pei-x86-64 -DMAGIC=010b|020b -P CheckExports.cmake
#  - the machine type (file format) and the optional header's magic (PE32 / PE32+);
#  - the export table: exactly VSTPluginMain and main, undecorated, at one address;
#  - the imports: system DLLs only (the C++ runtime, libgcc and winpthread are
#    linked in, so the DLL is one self-contained file).
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
set(errors "")
if(NOT dump MATCHES "file format ${FORMAT}\n")
  string(APPEND errors "not of file format ${FORMAT}; ")
endif()
if(NOT dump MATCHES "\nMagic[ \t]+${MAGIC}")
  string(APPEND errors "optional header magic is not ${MAGIC}; ")
endif()

# The export name table: lines "\t[   0] VSTPluginMain" after its heading.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n)+)" table "${dump}")
string(REPLACE "\n" ";" lines "${CMAKE_MATCH_1}")
set(names "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*\\[[ 0-9]+\\] (.+)$")
    list(APPEND names "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT names)
if(NOT names STREQUAL "VSTPluginMain;main")
  string(APPEND errors "exports are [${names}], expected [VSTPluginMain;main]; ")
endif()
# Both names at one address (the address table lists one RVA per name).
string(REGEX MATCHALL "\\+base\\[ *[0-9]+\\] ([0-9a-f]+) Export RVA" rvas "${dump}")
list(TRANSFORM rvas REPLACE ".*\\] ([0-9a-f]+) Export RVA" "\\1")
list(REMOVE_DUPLICATES rvas)
list(LENGTH rvas rva_count)
if(NOT rva_count EQUAL 1)
  string(APPEND errors "the two names lead to ${rva_count} addresses [${rvas}]; ")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
list(TRANSFORM imports REPLACE "DLL Name: " "")
foreach(dll ${imports})
  string(TOLOWER "${dll}" lower)
  if(lower MATCHES "^(libstdc|libgcc|libwinpthread)")
    string(APPEND errors "depends on ${dll}; ")
  endif()
endforeach()

if(errors)
  message(FATAL_ERROR "${DLL}: ${errors}")
endif()
message(STATUS "${DLL}: ${FORMAT}, magic ${MAGIC}, exports [${names}], imports [${imports}]")
