# Program start-up: high-DPI choice, single instance, command-line modes.
find_package(X11 REQUIRED)

add_library(quorvane_startup STATIC
    DesktopSize.cpp
    HighDpiSetup.cpp
    InstanceLock.cpp
    QtChineseTranslation.cpp
    QtSingleApplication.cpp
    SecondInstanceHandOff.cpp
    StartupMode.cpp
)
target_include_directories(quorvane_startup PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorvane_startup PUBLIC Qt5::Widgets PRIVATE quorvane_utils X11::X11)

add_executable(single_instance_probe tests/SingleInstanceProbe.cpp)
target_link_libraries(single_instance_probe PRIVATE quorvane_startup)

quorvane_add_qtest(tst_Startup
    SOURCES tests/tst_Startup.cpp
    LIBS quorvane_startup)
add_dependencies(tst_Startup single_instance_probe)

quorvane_add_qtest(tst_QtChineseTranslation
    SOURCES tests/tst_QtChineseTranslation.cpp
    LIBS quorvane_startup)

# The program itself. The pages, the account services and the shell come from their own
# folders; CMake resolves those targets when it generates the build.
set(quorvane_program_sources
    ${CMAKE_CURRENT_LIST_DIR}/MainWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainWindow.h
    ${CMAKE_CURRENT_LIST_DIR}/MainWindow.ui
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowResources.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowResources.h
    ${CMAKE_CURRENT_LIST_DIR}/../Resources/mainwindow.qrc
    ${CMAKE_CURRENT_LIST_DIR}/StartDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StartDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/StartDialog.ui
)
add_library(quorvane_mainwindow STATIC ${quorvane_program_sources})
target_include_directories(quorvane_mainwindow PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quorvane_mainwindow PUBLIC
    quorvane_startup quorvane_workspace quorvane_account quorvane_shell quorvane_utils)

add_executable(Quorvane ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(Quorvane PRIVATE quorvane_mainwindow)

# The engine lies outside the system: beside the program we put a stand-in that converts
# with Debian's tools, and the four libraries the page counter looks for. A command with
# its own outputs, so that an edited stand-in reaches the build folder without a relink.
set(quorvane_runtime_dir ${CMAKE_CURRENT_BINARY_DIR})
set_target_properties(Quorvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${quorvane_runtime_dir})
set(quorvane_engine_libraries
    ${quorvane_runtime_dir}/Aspose.Cells.dll
    ${quorvane_runtime_dir}/Aspose.Pdf.dll
    ${quorvane_runtime_dir}/Aspose.Slides.dll
    ${quorvane_runtime_dir}/Aspose.Words.dll)
set(quorvane_standin_dir ${CMAKE_SOURCE_DIR}/engine/standin)
add_custom_command(
    OUTPUT ${quorvane_runtime_dir}/Morvex ${quorvane_runtime_dir}/pdf_text_document.py
           ${quorvane_engine_libraries}
    COMMAND ${CMAKE_COMMAND} -E copy ${quorvane_standin_dir}/Morvex.sh
            ${quorvane_runtime_dir}/Morvex
    COMMAND ${CMAKE_COMMAND} -E copy ${quorvane_standin_dir}/pdf_text_document.py
            ${quorvane_runtime_dir}/pdf_text_document.py
    COMMAND ${CMAKE_COMMAND} -E touch ${quorvane_engine_libraries}
    DEPENDS ${quorvane_standin_dir}/Morvex.sh ${quorvane_standin_dir}/pdf_text_document.py
    VERBATIM)
add_custom_target(quorvane_runtime_engine ALL
    DEPENDS ${quorvane_runtime_dir}/Morvex ${quorvane_runtime_dir}/pdf_text_document.py
            ${quorvane_engine_libraries})
add_dependencies(Quorvane quorvane_runtime_engine)
