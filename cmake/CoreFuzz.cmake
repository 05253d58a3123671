# libFuzzer targets: everything is built with the sanitizers and coverage; only the fuzzers
# link libFuzzer's main. Each keeps its corpus in tests/fuzz/corpus/<name>.
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)

function(core_add_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} project_warnings)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
