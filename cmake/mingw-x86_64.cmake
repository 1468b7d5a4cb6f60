# The same sources as 64-bit Windows programs: what the tests run under
# wine64 on machines that cannot start 32-bit processes (see scripts/setup).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GLYPHMILL_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
