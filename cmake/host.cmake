# The Linux flavour: everything that is not Win32, over the simulated platform.

if(KESTROVE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

file(GLOB KESTROVE_SIM_SOURCES CONFIGURE_DEPENDS src/platform/sim/*.cpp)
add_library(kestrove_sim STATIC ${KESTROVE_SIM_SOURCES})
target_link_libraries(kestrove_sim PUBLIC kestrove_core)

enable_testing()
find_package(GTest REQUIRED)
file(GLOB KESTROVE_UNIT_TESTS CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(kestrove_unit_tests ${KESTROVE_UNIT_TESTS})
target_link_libraries(kestrove_unit_tests PRIVATE kestrove_sim GTest::gtest GTest::gtest_main)
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
