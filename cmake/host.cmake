# The Linux flavour: everything that is not Win32, over the simulated platform.

if(KESTROVE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

add_library(kestrove_sim STATIC
    src/platform/sim/CallLog.cpp
    src/platform/sim/SimBackend.cpp
    src/platform/sim/SimCodePage.cpp
    src/platform/sim/SimFiles.cpp
    src/platform/sim/SimMessageLoop.cpp
    src/platform/sim/SimPhoneBook.cpp
    src/platform/sim/SimPlatform.cpp
    src/platform/sim/SimProcesses.cpp
    src/platform/sim/SimRegistry.cpp
    src/platform/sim/SimShell.cpp
    src/platform/sim/SimWindowProcs.cpp
    src/platform/sim/SimWindows.cpp
)
target_link_libraries(kestrove_sim PUBLIC kestrove_core)

enable_testing()
find_package(GTest REQUIRED)
add_executable(kestrove_unit_tests
    tests/unit/about_and_credits_test.cpp
    tests/unit/connection_probe_test.cpp
    tests/unit/desktop_faults_test.cpp
    tests/unit/forms_contract_test.cpp
    tests/unit/main_window_startup_test.cpp
    tests/unit/nt_family_test.cpp
    tests/unit/phone_book_test.cpp
    tests/unit/redial_supervisor_test.cpp
    tests/unit/settings_reader_test.cpp
    tests/unit/settings_save_test.cpp
    tests/unit/sim_services_test.cpp
    tests/unit/tray_test.cpp
    tests/unit/week_bench_test.cpp
    tests/unit/win32_backend_logic_test.cpp
)
add_subdirectory(bench/week)
target_link_libraries(kestrove_unit_tests PRIVATE kestrove_sim kestrove_week_lib GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(kestrove_unit_tests DISCOVERY_TIMEOUT 60)

if(KESTROVE_FUZZ)
    add_subdirectory(tests/fuzz)
endif()
if(KESTROVE_BENCH)
    add_subdirectory(bench)
endif()

# The art script's output and the executable checker, checked against hand-built files.
find_program(KESTROVE_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(KESTROVE_SYSTEM_PYTHON)
    add_test(NAME resources_and_pe_checker
             COMMAND ${KESTROVE_SYSTEM_PYTHON} -B -m unittest discover -s ${CMAKE_SOURCE_DIR}/tests/pe)
endif()
