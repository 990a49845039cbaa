# Tests of the main window, of the program's start-up as a process, and of the whole
# program end to end on a real X server.
set(app_tests_dir ${CMAKE_CURRENT_LIST_DIR}/tests)

quorvane_add_qtest(tst_MainWindow
    SOURCES ${app_tests_dir}/tst_MainWindow.cpp ${app_tests_dir}/ModalDriver.h
    LIBS quorvane_mainwindow account_test_support)

# Every form's texts show whole in the font that is really drawn with.
quorvane_add_qtest(tst_FormTexts
    SOURCES ${app_tests_dir}/tst_FormTexts.cpp ${app_tests_dir}/TextFit.h
    LIBS quorvane_mainwindow)

# A variant of the program, built from the same main and libraries, whose web service is a
# stand-in on the loopback interface. The port is fixed per build folder, so that test runs
# of different build folders do not meet.
string(MD5 build_folder_hash "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${build_folder_hash}" 0 4 build_folder_hash)
math(EXPR quorvane_test_service_port "0x${build_folder_hash} % 10000 + 20000")

add_executable(quorvane_loopback_variant
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp ${app_tests_dir}/LoopbackServiceAddress.cpp)
set_target_properties(quorvane_loopback_variant PROPERTIES OUTPUT_NAME QuorvaneLoopback)
target_compile_definitions(quorvane_loopback_variant PRIVATE
    QUORVANE_TEST_SERVICE_PORT=${quorvane_test_service_port})
target_link_libraries(quorvane_loopback_variant PRIVATE quorvane_mainwindow)

quorvane_add_qtest(tst_ProgramStartup
    SOURCES ${app_tests_dir}/tst_ProgramStartup.cpp
    LIBS account_test_support)
target_compile_definitions(tst_ProgramStartup PRIVATE
    QUORVANE_TEST_SERVICE_PORT=${quorvane_test_service_port}
    QUORVANE_VARIANT_PATH="$<TARGET_FILE:quorvane_loopback_variant>")
add_dependencies(tst_ProgramStartup quorvane_loopback_variant)

# The real main window on an X server of the test's own, converting with the scripted
# stand-in engine beside the test, and with the one beside the program. Skips when Xvfb is
# missing.
quorvane_add_qtest(tst_EndToEnd
    SOURCES ${app_tests_dir}/tst_EndToEnd.cpp ${app_tests_dir}/XvfbDisplay.h
            ${app_tests_dir}/TinyPdf.h ${app_tests_dir}/ModalDriver.h ${app_tests_dir}/OpenedUrls.h
    LIBS quorvane_mainwindow account_test_support
    # Its longest function converts a Word file with LibreOffice once for each engine: a
    # page count and a conversion each, within 2 + 15 minutes.
    FUNCTION_TIMEOUT 2400
    TIMEOUT 3000)
target_include_directories(tst_EndToEnd PRIVATE ${PROJECT_SOURCE_DIR}/engine/tests)
# A folder of its own: the scripted engine must not replace the one beside the program.
set_target_properties(tst_EndToEnd PROPERTIES RUNTIME_OUTPUT_DIRECTORY
    ${CMAKE_CURRENT_BINARY_DIR}/endtoend)
add_dependencies(tst_EndToEnd morvex_standin quorvane_runtime_engine)
add_custom_command(TARGET tst_EndToEnd POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:morvex_standin>
            $<TARGET_FILE_DIR:tst_EndToEnd>/Morvex
    VERBATIM)
# Rows that convert for real hand the scripted engine's runs to the one beside the program.
target_compile_definitions(tst_EndToEnd PRIVATE
    QUORVANE_RUNTIME_ENGINE="$<TARGET_FILE_DIR:Quorvane>/Morvex")

# The engine stand-in that the build puts beside the program for a first run.
quorvane_add_qtest(tst_RuntimeEngine
    SOURCES ${app_tests_dir}/tst_RuntimeEngine.cpp ${app_tests_dir}/TinyPdf.h
    LIBS Qt5::Gui quorvane_engine
    # Its longest function runs LibreOffice four times, within 15 minutes each.
    FUNCTION_TIMEOUT 3900
    TIMEOUT 4500)
target_compile_definitions(tst_RuntimeEngine PRIVATE
    QUORVANE_RUNTIME_ENGINE="$<TARGET_FILE_DIR:Quorvane>/Morvex")
target_include_directories(tst_RuntimeEngine PRIVATE ${PROJECT_SOURCE_DIR}/engine/tests)
add_dependencies(tst_RuntimeEngine Quorvane)
