# One test executable per feature, built the same way for Linux and for Windows; ctest runs the
# Windows ones through the toolchain's emulator (Wine). ARGS go to the test's command line.
function(core_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ARGS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} test_support GTest::gtest_main project_warnings)
    add_test(NAME ${name} COMMAND ${name} ${ARG_ARGS})
    set_tests_properties(${name} PROPERTIES TIMEOUT 120)
endfunction()
