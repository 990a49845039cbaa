# Native build of Quorvane: Qt 5 Widgets with moc, uic and rcc, tests on QtTest.
find_package(Qt5 5.15 REQUIRED COMPONENTS Core Gui Widgets Network Test)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTOUIC ON)
set(CMAKE_AUTORCC ON)
set(CMAKE_INCLUDE_CURRENT_DIR ON)

set(QUORVANE_RUN_IN_OWN_GROUP ${PROJECT_SOURCE_DIR}/scripts/tests/run-in-own-group.sh)

# quorvane_add_qtest(<name> SOURCES <files...> [LIBS <targets...>]
#                   [FUNCTION_TIMEOUT <seconds>] [TIMEOUT <seconds>])
# A QtTest executable run headless, with a home of its own so that the settings store and
# the application-data folder never touch the developer's real ones.
# QtTest aborts the whole executable when one test function (all its data rows together)
# runs longer than QTEST_FUNCTION_TIMEOUT, 5 minutes unless set: FUNCTION_TIMEOUT lies above
# the longest time the bounds of one test function allow together, so that a bound of the
# test, not QtTest's watchdog, decides (10 minutes unless given: the suite's waits are safety
# nets of a minute or so each). ctest's TIMEOUT lies above that and the rest of the test
# (twice the function limit unless given), so that the watchdog, which names the function,
# ends a hung test before ctest does.
# The test runs in a process group of its own, which ends with it (run-in-own-group.sh).
function(quorvane_add_qtest name)
    cmake_parse_arguments(ARG "" "FUNCTION_TIMEOUT;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_FUNCTION_TIMEOUT)
        set(ARG_FUNCTION_TIMEOUT 600)
    endif()
    if(NOT ARG_TIMEOUT)
        math(EXPR ARG_TIMEOUT "2 * ${ARG_FUNCTION_TIMEOUT}")
    endif()
    if(NOT ARG_TIMEOUT GREATER ARG_FUNCTION_TIMEOUT)
        message(FATAL_ERROR "${name}: TIMEOUT must lie above FUNCTION_TIMEOUT")
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/app/tests)
    add_test(NAME ${name} COMMAND ${QUORVANE_RUN_IN_OWN_GROUP} $<TARGET_FILE:${name}>)
    set(home ${CMAKE_CURRENT_BINARY_DIR}/home/${name})
    math(EXPR function_timeout_ms "${ARG_FUNCTION_TIMEOUT} * 1000")
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTEST_FUNCTION_TIMEOUT=${function_timeout_ms};HOME=${home};XDG_DATA_HOME=${home}/.local/share;XDG_CONFIG_HOME=${home}/.config;XDG_CACHE_HOME=${home}/.cache;XDG_RUNTIME_DIR=${home}/runtime;TMPDIR=${home}/tmp"
        TIMEOUT ${ARG_TIMEOUT})
    file(MAKE_DIRECTORY ${home}/tmp ${home}/runtime)
    file(CHMOD ${home}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
