# The Windows flavours: the product Kestrove.exe (PE32 from the i686 toolchain, PE32+ from x86_64).
# Also builds natively on Windows with MinGW.

# Without a build type nothing would be optimised; the product is built for size.
if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE MinSizeRel CACHE STRING "Build type" FORCE)
endif()

# The Win32 forms backend and the platform services: the product but for its entry point and runtime,
# shared with the end-to-end checks that drive them directly. Every source here includes <windows.h>.
add_library(kestrove_win32 OBJECT
    src/platform/win32/AnsiText.cpp
    src/platform/win32/ControlWindow.cpp
    src/platform/win32/Desktop.cpp
    src/platform/win32/FontSet.cpp
    src/platform/win32/FormWindow.cpp
    src/platform/win32/OneKeeper.cpp
    src/platform/win32/PictureLoader.cpp
    src/platform/win32/Pictures.cpp
    src/platform/win32/PopupMenu.cpp
    src/platform/win32/Win32Backend.cpp
    src/platform/win32/WindowClass.cpp
    src/platform/win32/services/EnterKey.cpp
    src/platform/win32/services/RasLibrary.cpp
    src/platform/win32/services/Win32CodePage.cpp
    src/platform/win32/services/Win32Files.cpp
    src/platform/win32/services/Win32PhoneBook.cpp
    src/platform/win32/services/Win32Processes.cpp
    src/platform/win32/services/Win32ProgramInfo.cpp
    src/platform/win32/services/Win32RasConnections.cpp
    src/platform/win32/services/Win32Registry.cpp
    src/platform/win32/services/Win32Shell.cpp
    src/platform/win32/services/Win32WindowProcs.cpp
    src/platform/win32/services/Win32Windows.cpp
)
target_include_directories(kestrove_win32 PUBLIC src)
target_compile_definitions(kestrove_win32 PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0400 WINVER=0x0400)
target_compile_options(kestrove_win32 PRIVATE -ffunction-sections -fdata-sections)
# The timers are compiled by each program that links the backend, so that the idle measurement's build
# can count their ticks (KESTROVE_COUNT_TICKS) from the same sources.
add_library(kestrove_timer_window INTERFACE)
target_sources(kestrove_timer_window INTERFACE ${CMAKE_SOURCE_DIR}/src/platform/win32/TimerWindow.cpp)
target_link_libraries(kestrove_win32 INTERFACE kestrove_timer_window)
# System DLLs only. The dial-up library (rasapi32) is loaded at run time, where it may be missing, and
# the picture loader (ole32, oleaut32) when the first picture is shown; uuid is data only.
target_link_libraries(kestrove_win32 PUBLIC shell32 advapi32 gdi32 user32 uuid comctl32)

add_executable(Kestrove WIN32
    src/app/Main.cpp
    src/platform/win32/runtime/LeanRuntime.cpp
    src/resources/kestrove.rc
)
target_link_libraries(Kestrove PRIVATE kestrove_win32 kestrove_core)
# Resources find their art beside the .rc file.
set_property(SOURCE src/resources/kestrove.rc APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/resources/kestrove.ico ${CMAKE_SOURCE_DIR}/src/resources/hand.cur
    ${CMAKE_SOURCE_DIR}/src/resources/banner.gif ${CMAKE_SOURCE_DIR}/src/resources/logo.jpg
    ${CMAKE_SOURCE_DIR}/src/resources/kestrove.manifest)
target_compile_options(kestrove_core PRIVATE -ffunction-sections -fdata-sections)
target_compile_options(Kestrove PRIVATE -ffunction-sections -fdata-sections)
# The same bytes from every build of one tree, wherever it is checked out: no build time in the header,
# no source paths in the code.
# No run-time type information either: the program looks up nothing by type at run time, and every
# polymorphic class would carry its mangled name into the executable.
foreach(target kestrove_core kestrove_win32 Kestrove)
    target_compile_options(${target} PRIVATE -ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -fno-rtti)
endforeach()
# No runtime to install: libstdc++ and libgcc go into the executable; only system DLLs are imported.
target_link_options(Kestrove PRIVATE -static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections
                    -Wl,--no-insert-timestamp)

if(KESTROVE_E2E)
    add_subdirectory(tests/e2e)
endif()
