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

add_library(tapwren_framework STATIC
    src/framework/Dialog.cpp
    src/framework/WinApp.cpp
    src/framework/Wnd.cpp)
target_include_directories(tapwren_framework PUBLIC src)
target_link_libraries(tapwren_framework PUBLIC comctl32)
tapwren_strict(tapwren_framework)

# The program's own Win32 code; the dialog and the worker need each other, so they share one library.
add_library(tapwren_program STATIC
    src/dialog/TapwrenDlg.cpp
    src/repeater/Pause.cpp
    src/repeater/PressKey.cpp
    src/repeater/RepeatThreadProc.cpp
    src/settings/Config.cpp
    src/settings/IniFile.cpp
    src/settings/ModuleDir.cpp
    src/shell/FileVersion.cpp
    src/shell/SingleInstance.cpp
    src/shell/Title.cpp)
target_link_libraries(tapwren_program PUBLIC tapwren_common tapwren_framework shell32 shlwapi)

add_executable(Tapwren WIN32
    src/app/TapwrenApp.cpp
    src/framework/WinMain.cpp
    src/res/Tapwren.rc)
target_link_options(Tapwren PRIVATE -municode)
target_link_libraries(Tapwren PRIVATE tapwren_program)
tapwren_strict(Tapwren)
tapwren_strict(tapwren_program)

add_library(tapwren_test_support STATIC tests/support/KeyRecorder.cpp tests/support/Scratch.cpp)
target_include_directories(tapwren_test_support PUBLIC tests)
target_link_libraries(tapwren_test_support PUBLIC gtest)

add_executable(tapwren_win_tests
    tests/unit/ConfigTest.cpp
    tests/unit/DialogTest.cpp
    tests/unit/HotKeyTest.cpp
    tests/unit/RepeaterTest.cpp
    tests/unit/TestDialog.rc)
target_link_libraries(tapwren_win_tests PRIVATE tapwren_program tapwren_test_support gtest_main)
tapwren_strict(tapwren_win_tests)
add_test(NAME win_tests COMMAND tapwren_win_tests)
# Tests that inject keys or start the program share one input stream and one instance mutex.
set_tests_properties(win_tests PROPERTIES RUN_SERIAL TRUE)

# The end-to-end tests start the real Tapwren.exe, which is built beside them.
add_executable(tapwren_e2e_tests tests/e2e/TapwrenProcess.cpp tests/e2e/TapwrenTest.cpp)
target_link_libraries(tapwren_e2e_tests PRIVATE tapwren_test_support gtest_main comctl32 shell32)
tapwren_strict(tapwren_e2e_tests)
add_dependencies(tapwren_e2e_tests Tapwren)
add_test(NAME e2e_tests COMMAND tapwren_e2e_tests)
set_tests_properties(e2e_tests PROPERTIES RUN_SERIAL TRUE)
