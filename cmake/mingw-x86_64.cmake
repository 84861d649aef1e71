# Cross build for 64-bit Windows: the test flavour, which runs on machines without
# 32-bit code; what ships is the i686 build.
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
