# brenvale_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable; every case becomes a CTest test that runs on Qt's
# offscreen platform, so no test needs a display.
function(brenvale_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_property(GLOBAL APPEND PROPERTY BRENVALE_TEST_TARGETS ${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    target_compile_definitions(${name} PRIVATE
        BRENVALE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        BRENVALE_BINARY_DIR="${CMAKE_BINARY_DIR}")
    # Parameter values in names would carry bytes, addresses, spaces and
    # quotes: tests are named by their table row instead, which stays put.
    gtest_discover_tests(${name}
        NO_PRETTY_VALUES NO_PRETTY_TYPES
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        DISCOVERY_TIMEOUT 60)
endfunction()
