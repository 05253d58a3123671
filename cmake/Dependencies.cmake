# Third-party libraries as imported targets with the same names on both targets:
#   deps::curl, deps::tinyxml, deps::minizip (brings zlib), deps::sodium, deps::rsync,
#   GTest::gtest(_main).
# Linux uses Debian's packages; Windows uses the static libraries that scripts/setup.sh
# cross-builds into build/deps/win32 (found through the toolchain's find root).

find_package(ZLIB REQUIRED)

find_path(TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
find_library(TINYXML_LIBRARY NAMES libtinyxml.a tinyxml REQUIRED)
add_library(deps::tinyxml UNKNOWN IMPORTED)
set_target_properties(deps::tinyxml PROPERTIES
    IMPORTED_LOCATION "${TINYXML_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${TINYXML_INCLUDE_DIR}"
    # Debian's tinyxml.h turns the STL interface on; say so for every includer alike.
    INTERFACE_COMPILE_DEFINITIONS "TIXML_USE_STL")

find_path(MINIZIP_INCLUDE_DIR minizip/unzip.h REQUIRED)
find_library(MINIZIP_LIBRARY NAMES libminizip.a minizip REQUIRED)
add_library(deps::minizip UNKNOWN IMPORTED)
set_target_properties(deps::minizip PROPERTIES
    IMPORTED_LOCATION "${MINIZIP_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${MINIZIP_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)

find_path(SODIUM_INCLUDE_DIR sodium.h REQUIRED)
find_library(SODIUM_LIBRARY NAMES libsodium.a sodium REQUIRED)
add_library(deps::sodium UNKNOWN IMPORTED)
set_target_properties(deps::sodium PROPERTIES
    IMPORTED_LOCATION "${SODIUM_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${SODIUM_INCLUDE_DIR}")
if(WIN32)
    # The static library's header must not ask for DLL imports; its randomness is advapi32's.
    set_target_properties(deps::sodium PROPERTIES
        INTERFACE_COMPILE_DEFINITIONS "SODIUM_STATIC"
        INTERFACE_LINK_LIBRARIES advapi32)
endif()

find_path(RSYNC_INCLUDE_DIR librsync.h REQUIRED)
# Debian's static librsync needs libb2 besides; its shared one brings it.
if(WIN32)
    find_library(RSYNC_LIBRARY NAMES librsync.a REQUIRED)
else()
    find_library(RSYNC_LIBRARY NAMES rsync REQUIRED)
endif()
add_library(deps::rsync UNKNOWN IMPORTED)
set_target_properties(deps::rsync PROPERTIES
    IMPORTED_LOCATION "${RSYNC_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${RSYNC_INCLUDE_DIR}")
if(WIN32)
    # The static library's header must not ask for DLL imports.
    set_target_properties(deps::rsync PROPERTIES INTERFACE_COMPILE_DEFINITIONS "LIBRSYNC_STATIC_DEFINE")
endif()

if(WIN32)
    find_path(CURL_INCLUDE_DIR curl/curl.h REQUIRED)
    find_library(CURL_LIBRARY NAMES libcurl.a REQUIRED)
    add_library(deps::curl UNKNOWN IMPORTED)
    set_target_properties(deps::curl PROPERTIES
        IMPORTED_LOCATION "${CURL_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${CURL_INCLUDE_DIR}"
        INTERFACE_COMPILE_DEFINITIONS "CURL_STATICLIB"
        INTERFACE_LINK_LIBRARIES "ZLIB::ZLIB;ws2_32;crypt32;secur32;bcrypt;advapi32")
else()
    find_package(CURL REQUIRED)
    add_library(deps::curl INTERFACE IMPORTED)
    set_target_properties(deps::curl PROPERTIES INTERFACE_LINK_LIBRARIES CURL::libcurl)
endif()

# A Windows width whose tests cannot run on this machine gets no GoogleTest from the setup; it
# builds its programs and the checks that need no Wine.
if(LAUNCHER_BUILD_TESTS AND CMAKE_CROSSCOMPILING)
    find_package(GTest QUIET)
    if(NOT GTest_FOUND)
        message(STATUS "No GoogleTest for ${WINDOWS_WIDTH}: building its programs and checks only")
        set(LAUNCHER_BUILD_TESTS OFF)
    endif()
elseif(LAUNCHER_BUILD_TESTS)
    find_package(GTest REQUIRED)
endif()
