# Native build of Quorvane: Qt 5 Widgets with moc, uic and rcc, tests on QtTest.
find_package(Qt5 5.15 REQUIRED COMPONENTS Core Gui Widgets Network Test)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTOUIC ON)
set(CMAKE_AUTORCC ON)
set(CMAKE_INCLUDE_CURRENT_DIR ON)

# quorvane_add_qtest(<name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <seconds>])
# A QtTest executable run headless, with a home of its own so that the settings store and
# the application-data folder never touch the developer's real ones. The time limit (10
# minutes unless given) is a generous multiple of what the test takes on a machine at load 30.
function(quorvane_add_qtest name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 600)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set(home ${CMAKE_CURRENT_BINARY_DIR}/home/${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_DATA_HOME=${home}/.local/share;XDG_CONFIG_HOME=${home}/.config;XDG_CACHE_HOME=${home}/.cache;XDG_RUNTIME_DIR=${home}/runtime;TMPDIR=${home}/tmp"
        TIMEOUT ${ARG_TIMEOUT})
    file(MAKE_DIRECTORY ${home}/tmp ${home}/runtime)
    file(CHMOD ${home}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
