# Program start-up: high-DPI choice, single instance, command-line modes.
find_package(X11 REQUIRED)

add_library(quorvane_startup STATIC
    DesktopSize.cpp
    HighDpiSetup.cpp
    InstanceLock.cpp
    QtSingleApplication.cpp
    SecondInstanceHandOff.cpp
    StartupMode.cpp
)
target_include_directories(quorvane_startup PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorvane_startup PUBLIC Qt5::Widgets PRIVATE X11::X11)

add_executable(single_instance_probe tests/SingleInstanceProbe.cpp)
target_link_libraries(single_instance_probe PRIVATE quorvane_startup)

quorvane_add_qtest(tst_Startup
    SOURCES tests/tst_Startup.cpp
    LIBS quorvane_startup)
add_dependencies(tst_Startup single_instance_probe)
