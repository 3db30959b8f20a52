# nimbrel_add_plugin(<target> OUTPUT_NAME <name> SOURCES ... LIBS ...)
# Builds a VST 2 plug-in as a self-contained shared library without the "lib"
# prefix into ${NIMBREL_PLUGIN_DIR}. It carries its own copy of the C++ runtime
# and exports only the two entry names, VSTPluginMain and main.
set(NIMBREL_PLUGIN_SUPPORT_DIR ${CMAKE_CURRENT_LIST_DIR}/plugin)

function(nimbrel_add_plugin target)
  cmake_parse_arguments(P "" "OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${target} MODULE ${P_SOURCES})
  target_link_libraries(${target} PRIVATE ${P_LIBS})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${P_OUTPUT_NAME}
    LIBRARY_OUTPUT_DIRECTORY ${NIMBREL_PLUGIN_DIR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(NOT WIN32)
    # The private runtime's exception pool is released at unload (see the file).
    target_sources(${target} PRIVATE ${NIMBREL_PLUGIN_SUPPORT_DIR}/RuntimeRelease.cpp)
    target_link_options(${target} PRIVATE
      -static-libstdc++ -static-libgcc -Wl,--no-undefined -Wl,--exclude-libs,ALL
      -Wl,--version-script=${NIMBREL_PLUGIN_SUPPORT_DIR}/exports.map)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${NIMBREL_PLUGIN_SUPPORT_DIR}/exports.map)
  else()
    # Windows: one self-contained DLL (the toolchain links -static), named
    # <name>.dll for 32-bit and <name>-x64.dll for 64-bit, exporting the entry
    # under both names through exports.def, with the plug-in's resource script
    # (registered by the resources layer under the lower-case name) compiled in.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      set_target_properties(${target} PROPERTIES OUTPUT_NAME ${P_OUTPUT_NAME}-x64)
    endif()
    target_sources(${target} PRIVATE ${NIMBREL_PLUGIN_SUPPORT_DIR}/exports.def)
    string(TOLOWER ${P_OUTPUT_NAME} key)
    get_property(rc GLOBAL PROPERTY NIMBREL_RC_SCRIPT_${key})
    if(rc)
      get_property(rc_files GLOBAL PROPERTY NIMBREL_RC_FILES_${key})
      get_property(rc_includes GLOBAL PROPERTY NIMBREL_RC_INCLUDES_${key})
      target_sources(${target} PRIVATE ${rc})
      set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${rc_files}")
      foreach(dir ${rc_includes})
        target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:RC>:-I${dir}>)
      endforeach()
      add_dependencies(${target} nimbrel_artwork)
    endif()
  endif()
endfunction()
