# Shared by the mingw-w64 toolchain files, which set GLYPHMILL_MINGW_TRIPLET
# and CMAKE_SYSTEM_PROCESSOR first. POSIX threads (GoogleTest needs
# std::mutex), everything linked statically.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${GLYPHMILL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GLYPHMILL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${GLYPHMILL_MINGW_TRIPLET}-windres)

# FreeType, libpng and brotli built for Windows by scripts/build-windows-libs,
# which the configure runs; one copy for every build tree of the same
# processor.
if(NOT GLYPHMILL_WINDOWS_LIBS)
  get_filename_component(GLYPHMILL_WINDOWS_LIBS ${CMAKE_BINARY_DIR}/../thirdparty ABSOLUTE)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES GLYPHMILL_WINDOWS_LIBS)

set(CMAKE_FIND_ROOT_PATH ${GLYPHMILL_WINDOWS_LIBS}/${GLYPHMILL_MINGW_TRIPLET} /usr/${GLYPHMILL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# zlib's import library lies beside the static one: the static one.
set(ZLIB_USE_STATIC_LIBS ON)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
