# Shared part of the two Windows cross toolchains (Debian's mingw-w64, posix
# thread model: GoogleTest and the toolkit need std::thread and std::mutex).
# Included by mingw-i686.cmake and mingw-x86_64.cmake after they set
# NIMBREL_MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${NIMBREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NIMBREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NIMBREL_MINGW_TRIPLE}-windres)
# M_PI and friends, which the standard headers hide in strict C++ mode.
set(CMAKE_C_FLAGS_INIT "-D_USE_MATH_DEFINES")
set(CMAKE_CXX_FLAGS_INIT "-D_USE_MATH_DEFINES")
set(CMAKE_OBJDUMP ${NIMBREL_MINGW_TRIPLE}-objdump CACHE FILEPATH "objdump of the target")

# Only the target's own tree; header-only host packages (stb) are added one
# folder at a time by the layers that use them, never all of /usr/include.
set(CMAKE_FIND_ROOT_PATH /usr/${NIMBREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained file per binary: the C++ runtime, libgcc and winpthread
# are linked in, so no DLL has to travel beside a plug-in or a test.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Test programs run under wine (ctest and GoogleTest's discovery alike), in a
# wine prefix of the build tree's own (see wine-run.sh).
set(NIMBREL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${NIMBREL_WINE_PREFIX})

# stb is header-only and the same for every target: the layers include it as
# <stb/...> below NIMBREL_STB_INCLUDE. Point that at a folder that holds only a
# link to Debian's /usr/include/stb, so the cross compilers never see the rest
# of the build machine's /usr/include.
if(NOT NIMBREL_STB_INCLUDE AND EXISTS /usr/include/stb/stb_image.h)
  set(_nimbrel_stb_dir ${CMAKE_BINARY_DIR}/stb-include)
  file(MAKE_DIRECTORY ${_nimbrel_stb_dir})
  if(NOT EXISTS ${_nimbrel_stb_dir}/stb)
    file(CREATE_LINK /usr/include/stb ${_nimbrel_stb_dir}/stb SYMBOLIC)
  endif()
  set(NIMBREL_STB_INCLUDE ${_nimbrel_stb_dir} CACHE PATH "Folder holding only stb/ (cross builds)" FORCE)
endif()

# Data files of the build machine that the layers embed (not target headers or
# libraries, so they are not looked for below the target's root).
foreach(_nimbrel_font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/dejavu/DejaVuSans.ttf)
  if(NOT NIMBREL_GUI_SUBSTITUTE_FONT AND EXISTS ${_nimbrel_font})
    set(NIMBREL_GUI_SUBSTITUTE_FONT ${_nimbrel_font} CACHE FILEPATH "The toolkit's substitute font" FORCE)
  endif()
endforeach()

# pkg-config must not hand the build machine's Linux libraries to the cross
# compiler: look only where target packages would be.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${NIMBREL_MINGW_TRIPLE}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# The native build that supplies the build-time tools (and the .so files the
# Windows renders are compared with); the presets name build/linux, the
# environment may name another.
if(DEFINED ENV{NIMBREL_HOST_TOOLS_DIR})
  set(NIMBREL_HOST_TOOLS_DIR $ENV{NIMBREL_HOST_TOOLS_DIR} CACHE PATH "Native build-time tools" FORCE)
endif()
