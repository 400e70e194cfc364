# The Windows flavours: the product Kestrove.exe (PE32 from the i686 toolchain, PE32+ from x86_64).
# Also builds natively on Windows with MinGW.

# Without a build type nothing would be optimised; the product is built for size.
if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE MinSizeRel CACHE STRING "Build type" FORCE)
endif()

file(GLOB KESTROVE_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp src/platform/win32/services/*.cpp)
add_executable(Kestrove WIN32 src/app/Main.cpp ${KESTROVE_WIN32_SOURCES} src/platform/win32/runtime/LeanRuntime.cpp
    src/resources/kestrove.rc)
target_link_libraries(Kestrove PRIVATE kestrove_core)
# Resources find their art beside the .rc file.
set_property(SOURCE src/resources/kestrove.rc APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/resources/kestrove.ico ${CMAKE_SOURCE_DIR}/src/resources/hand.cur
    ${CMAKE_SOURCE_DIR}/src/resources/banner.gif ${CMAKE_SOURCE_DIR}/src/resources/logo.jpg
    ${CMAKE_SOURCE_DIR}/src/resources/kestrove.manifest)
target_compile_definitions(kestrove_core PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0400 WINVER=0x0400)
target_compile_definitions(Kestrove PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_compile_options(kestrove_core PRIVATE -ffunction-sections -fdata-sections)
target_compile_options(Kestrove PRIVATE -ffunction-sections -fdata-sections)
# No runtime to install: libstdc++ and libgcc go into the executable; only system DLLs are imported.
target_link_options(Kestrove PRIVATE -static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections)
target_link_libraries(Kestrove PRIVATE rasapi32 shell32 advapi32 gdi32 user32 ole32 oleaut32 uuid comctl32)

if(KESTROVE_E2E)
    add_subdirectory(tests/e2e)
endif()
