# The Windows build: the program, its unit tests under Wine and the end-to-end driver.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
# Hardened: buffer checks where the size is known, and stack canaries.
add_compile_options(-D_FORTIFY_SOURCE=2 -fstack-protector-strong)
add_link_options(-fstack-protector-strong)
# Every executable is static so that nothing needs MinGW's runtime DLLs beside it.
add_link_options(-static -static-libgcc -static-libstdc++)
# No link timestamp, so two builds of one commit give the same bytes; release builds carry no symbols.
add_link_options(-Wl,--no-insert-timestamp $<$<CONFIG:Release>:-s>)


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
    src/app/StackGuard.cpp
    src/app/TapwrenApp.cpp
    src/framework/WinMain.cpp
    src/res/Tapwren.rc)
target_link_options(Tapwren PRIVATE -municode)
target_link_libraries(Tapwren PRIVATE tapwren_program)
tapwren_strict(Tapwren)
tapwren_strict(tapwren_program)

include(cmake/WindowsTests.cmake)
