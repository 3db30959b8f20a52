# nimbrel_add_plugin(<target> OUTPUT_NAME <name> SOURCES ... LIBS ...)
# Builds a VST 2 plug-in as a self-contained shared library without the "lib"
# prefix, exporting only the entry points, into ${NIMBREL_PLUGIN_DIR}.
function(nimbrel_add_plugin target)
  cmake_parse_arguments(P "" "OUTPUT_NAME" "SOURCES;LIBS;EXPORTS" ${ARGN})
  add_library(${target} MODULE ${P_SOURCES})
  target_link_libraries(${target} PRIVATE ${P_LIBS})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${P_OUTPUT_NAME}
    LIBRARY_OUTPUT_DIRECTORY ${NIMBREL_PLUGIN_DIR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(NOT WIN32)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -Wl,--no-undefined)
  endif()
endfunction()
