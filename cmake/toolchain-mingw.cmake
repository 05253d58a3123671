# Cross-compiles for Windows with Debian's mingw-w64 (posix thread model, needed for
# std::thread) and runs the results under Wine. Included by the toolchain file of each width,
# which sets MINGW_TRIPLET, CMAKE_SYSTEM_PROCESSOR and WINDOWS_WIDTH (win32 or win64).
#
# The dependencies of each width come from scripts/setup.sh windows, static only:
#   CURL::libcurl (find_package(CURL)) already carries CURL_STATICLIB and its
#     system libraries: ws2_32 crypt32 secur32 bcrypt advapi32 plus zlib.
#     Linking libcurl.a by hand needs exactly those.
#   libminizip.a needs zlib (-lz); tinyxml and gtest/gmock need nothing extra.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

get_filename_component(WINDOWS_DEPS_PREFIX "${CMAKE_CURRENT_LIST_DIR}/../build/deps/${WINDOWS_WIDTH}"
                       ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET} "${WINDOWS_DEPS_PREFIX}")
# Host tools (pkg-config, python, ...) come from the build machine; never let
# Linux headers, libraries or CMake packages leak into the Windows build.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must only see the Windows .pc files, not the host's.
set(ENV{PKG_CONFIG_LIBDIR} "${WINDOWS_DEPS_PREFIX}/lib/pkgconfig:/usr/${MINGW_TRIPLET}/lib/pkgconfig")
unset(ENV{PKG_CONFIG_PATH})

# Every .exe must run without libstdc++/libgcc/libwinpthread/zlib DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The mingw zlib package ships libz.dll.a too, which find_library prefers.
set(ZLIB_USE_STATIC_LIBS ON)

# ctest runs test programs through the Wine of their width; that needs a display, so wrap the
# run in scripts/with-display.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run")
