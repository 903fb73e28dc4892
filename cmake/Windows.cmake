# The Windows build: the program, its unit tests under Wine and the end-to-end driver.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
# Every executable is static so that nothing needs MinGW's runtime DLLs beside it.
add_link_options(-static -static-libgcc -static-libstdc++)

add_executable(tapwren_unit_tests ${COMMON_TESTS})
target_link_libraries(tapwren_unit_tests PRIVATE tapwren_common gtest_main)
tapwren_strict(tapwren_unit_tests)
add_test(NAME unit_tests COMMAND tapwren_unit_tests)

# The sanitized native build's tests, built by the test command beside this tree, join this run so
# that one CTest summary covers everything.
if(NATIVE_TEST_EXE)
    add_test(NAME native_sanitized_unit_tests COMMAND ${NATIVE_TEST_EXE})
endif()
