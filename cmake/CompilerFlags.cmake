# Warnings apply to our own targets only; third-party headers come in as system includes.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE -Wall -Wextra)

if(LAUNCHER_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

option(LAUNCHER_TSAN "Build with ThreadSanitizer" OFF)
if(LAUNCHER_TSAN)
    add_compile_options(-fsanitize=thread)
    add_link_options(-fsanitize=thread)
endif()

if(WIN32)
    # The ANSI entry points are the ones the system uses; keep <windows.h> lean.
    add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()
