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


# One library a subsystem; each depends only on the ones below it, and the dialog on all of them.
add_library(tapwren_framework STATIC
    src/framework/Dialog.cpp
    src/framework/ModulePath.cpp
    src/framework/WinApp.cpp
    src/framework/Wnd.cpp)
target_link_libraries(tapwren_framework PUBLIC tapwren_common comctl32)

add_library(tapwren_repeater STATIC
    src/repeater/KeyOutput.cpp
    src/repeater/KeyState.cpp
    src/repeater/Pause.cpp
    src/repeater/PressKey.cpp
    src/repeater/RepeatThreadProc.cpp)
target_link_libraries(tapwren_repeater PUBLIC tapwren_common)

add_library(tapwren_settings STATIC src/settings/Config.cpp src/settings/IniFile.cpp src/settings/ModuleDir.cpp)
target_link_libraries(tapwren_settings PUBLIC tapwren_framework shlwapi)

add_library(tapwren_shell STATIC src/shell/FileVersion.cpp src/shell/SingleInstance.cpp src/shell/Title.cpp)
target_link_libraries(tapwren_shell PUBLIC tapwren_framework)

add_library(tapwren_dialog STATIC src/dialog/TapwrenDlg.cpp)
target_link_libraries(tapwren_dialog PUBLIC tapwren_repeater tapwren_settings tapwren_shell shell32)

# The version in project() reaches the version block, the manifest and the release script from here.
set(GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(src/res/Version.h.in ${GENERATED_DIR}/Version.h @ONLY)
# The manifest names the program's own architecture, and that of the Common Controls it binds: a
# 64-bit program that asks for the x86 ones is refused by the loader.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TAPWREN_MANIFEST_ARCH amd64)
else()
    set(TAPWREN_MANIFEST_ARCH x86)
endif()
configure_file(src/res/Tapwren.manifest.in ${GENERATED_DIR}/Tapwren.manifest @ONLY)
# The resource compiler's object does not know of the files the .rc names or includes from here.
set_source_files_properties(src/res/Tapwren.rc PROPERTIES OBJECT_DEPENDS
                            "${GENERATED_DIR}/Tapwren.manifest;${GENERATED_DIR}/Version.h")
file(WRITE ${CMAKE_BINARY_DIR}/release-version.txt
     "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}\n")

add_executable(Tapwren WIN32
    src/app/StackGuard.cpp
    src/app/TapwrenApp.cpp
    src/framework/WinMain.cpp
    src/res/Tapwren.rc)
target_include_directories(Tapwren PRIVATE ${GENERATED_DIR})
target_link_options(Tapwren PRIVATE -municode)
target_link_libraries(Tapwren PRIVATE tapwren_dialog)
foreach(target tapwren_framework tapwren_repeater tapwren_settings tapwren_shell tapwren_dialog Tapwren)
    tapwren_strict(${target})
endforeach()

include(cmake/WindowsTests.cmake)
