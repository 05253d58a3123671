# 64-bit Windows: the same code for x86-64, whose tests run where 32-bit programs cannot.
set(WINDOWS_WIDTH win64)
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
