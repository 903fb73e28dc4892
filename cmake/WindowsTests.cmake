# Unit tests under Wine and the end-to-end tests; built where GoogleTest is at hand.
if(NOT TARGET gtest)
    return()
endif()

add_executable(tapwren_unit_tests ${COMMON_TESTS})
target_include_directories(tapwren_unit_tests PRIVATE tests)
target_link_libraries(tapwren_unit_tests PRIVATE tapwren_common gtest_main)
tapwren_strict(tapwren_unit_tests)
add_test(NAME unit_tests COMMAND tapwren_unit_tests)

# The sanitized native build's tests, built by the test command beside this tree, join this run so
# that one CTest summary covers everything.
if(NATIVE_TEST_EXE)
    add_test(NAME native_sanitized_unit_tests COMMAND ${NATIVE_TEST_EXE})
endif()

# What the tests and the benchmark share to drive and watch the real program; no GoogleTest in it.
add_library(tapwren_test_support STATIC tests/support/CpuTime.cpp tests/support/KeyRecorder.cpp tests/support/Launch.cpp
            tests/support/ProcessCounts.cpp tests/support/Scratch.cpp tests/support/TapwrenProcess.cpp)
target_include_directories(tapwren_test_support PUBLIC tests ${GENERATED_DIR})
target_link_libraries(tapwren_test_support PUBLIC tapwren_framework comctl32 shell32 ntdll)
tapwren_strict(tapwren_test_support)
# The version the title shows, from project(): the tests' one copy of it.
target_compile_definitions(tapwren_test_support PUBLIC
    "TAPWREN_SHOWN_VERSION=L\"${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}\"")

add_executable(tapwren_win_tests
    src/app/StackGuard.cpp
    tests/unit/ConfigTest.cpp
    tests/unit/DialogTest.cpp
    tests/unit/HotKeyTest.cpp
    tests/unit/RepeaterTest.cpp
    tests/unit/SettingsCorpusTest.cpp
    tests/unit/StackGuardTest.cpp
    tests/unit/TestDialog.rc
    tests/support/TestApp.cpp)
target_link_libraries(tapwren_win_tests PRIVATE tapwren_dialog tapwren_test_support gtest_main)
tapwren_strict(tapwren_win_tests)
add_test(NAME win_tests COMMAND tapwren_win_tests)
# Tests that inject keys or start the program share one input stream and one instance mutex; they
# run one at a time, beside the others.
set_tests_properties(win_tests PROPERTIES RESOURCE_LOCK desktop)

# The end-to-end tests start the real Tapwren.exe, which is built beside them.
add_executable(tapwren_e2e_tests tests/e2e/FirstUseTest.cpp tests/e2e/RobustnessTest.cpp tests/e2e/SaveTraceTest.cpp
                                 tests/e2e/TapwrenTest.cpp)
configure_file(tests/support/trace-files.sh ${CMAKE_BINARY_DIR}/trace-files.sh COPYONLY)
target_link_libraries(tapwren_e2e_tests PRIVATE tapwren_test_support gtest_main)
# A seeded corpus of hostile settings files, made anew when the script changes.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/corpus/empty.ini
                   COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/make-cfg-corpus.py ${CMAKE_BINARY_DIR}/corpus
                   DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make-cfg-corpus.py)
add_custom_target(cfg_corpus DEPENDS ${CMAKE_BINARY_DIR}/corpus/empty.ini)
add_dependencies(tapwren_e2e_tests cfg_corpus)
add_dependencies(tapwren_win_tests cfg_corpus)
tapwren_strict(tapwren_e2e_tests)
add_dependencies(tapwren_e2e_tests Tapwren)
add_test(NAME e2e_tests COMMAND tapwren_e2e_tests)
set_tests_properties(e2e_tests PROPERTIES RESOURCE_LOCK desktop)
# The program's presses read as games read them. A program of its own: once this process has used
# Wine's DirectInput, Wine no longer matches the Ctrl + F12 it injects with the program's hotkey.
add_executable(tapwren_game_input_tests tests/e2e/GameInputTest.cpp)
target_link_libraries(tapwren_game_input_tests PRIVATE tapwren_test_support gtest_main dinput8 dxguid)
tapwren_strict(tapwren_game_input_tests)
add_dependencies(tapwren_game_input_tests Tapwren)
add_test(NAME game_input_tests COMMAND tapwren_game_input_tests)
set_tests_properties(game_input_tests PROPERTIES RESOURCE_LOCK desktop)

# The benchmark's programs, and the planted DLL and version blocks with their test.
add_subdirectory(bench)
add_subdirectory(tests/planted)

add_test(NAME imports COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-imports.sh $<TARGET_FILE:Tapwren> ${CMAKE_OBJDUMP})
# A release build of this tree's architecture from scratch against this tree's, and the other
# architecture's program compiled. They run beside the tests that drive the program, which hold on a
# busy machine.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TAPWREN_ARCH x64)
    set(OTHER_ARCH x86)
else()
    set(TAPWREN_ARCH x86)
    set(OTHER_ARCH x64)
endif()
add_test(NAME reproducible_release COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-release.sh
                                           ${CMAKE_BINARY_DIR}/release-check ${TAPWREN_ARCH} $<TARGET_FILE:Tapwren>)
add_test(NAME ${OTHER_ARCH}_program COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-other-arch.sh
                                            ${CMAKE_BINARY_DIR}/${OTHER_ARCH}-build ${OTHER_ARCH})
add_test(NAME manifest COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-manifest.sh $<TARGET_FILE:Tapwren> ${CMAKE_OBJDUMP})

# The commands end what they start and let go of their locks, however they end.
add_test(NAME command_cleanup COMMAND ${CMAKE_SOURCE_DIR}/tests/commands/cleanup-test.sh)

# Every test ends: a hung one fails with its name instead of holding the whole run. Each limit is a
# few times the test's length on a busy machine (the soak adds its own minutes); unit_tests is held
# open by the first Wine server's output until the other Wine tests end, so it gets theirs.
if(DEFINED ENV{TAPWREN_SOAK_MINUTES})
    math(EXPR SOAK_SECONDS "$ENV{TAPWREN_SOAK_MINUTES} * 60")
else()
    set(SOAK_SECONDS 0)
endif()
math(EXPR E2E_TIMEOUT "900 + ${SOAK_SECONDS}")
set_tests_properties(imports manifest PROPERTIES TIMEOUT 60)
if(NATIVE_TEST_EXE)
    set_tests_properties(native_sanitized_unit_tests PROPERTIES TIMEOUT 60)
endif()
set_tests_properties(game_input_tests command_cleanup PROPERTIES TIMEOUT 120)
set_tests_properties(win_tests reproducible_release PROPERTIES TIMEOUT 300)
set_tests_properties(unit_tests ${OTHER_ARCH}_program PROPERTIES TIMEOUT 600)
set_tests_properties(e2e_tests PROPERTIES TIMEOUT ${E2E_TIMEOUT})
