# Settings store and shared utilities of Quorvane, used by every other area.
add_library(quorvane_utils STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/FileUtils.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/FileUtils.h
    ${CMAKE_CURRENT_SOURCE_DIR}/IniEntryStream.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/IniEntryStream.h
    ${CMAKE_CURRENT_SOURCE_DIR}/IniFile.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/IniFile.h
    ${CMAKE_CURRENT_SOURCE_DIR}/IniLineRepair.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/IniLineRepair.h
    ${CMAKE_CURRENT_SOURCE_DIR}/SettingsStore.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/SettingsStore.h
    ${CMAKE_CURRENT_SOURCE_DIR}/TextUtils.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TextUtils.h
    ${CMAKE_CURRENT_SOURCE_DIR}/WidgetUtils.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/WidgetUtils.h
)
target_include_directories(quorvane_utils PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorvane_utils PUBLIC Qt5::Widgets)

add_executable(utils_probe ${CMAKE_CURRENT_SOURCE_DIR}/tests/UtilsProbe.cpp)
target_link_libraries(utils_probe PRIVATE quorvane_utils)

foreach(test tst_SettingsStore tst_IniLineRepair tst_FileUtils tst_TextUtils tst_WidgetUtils)
    quorvane_add_qtest(${test}
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/${test}.cpp
        LIBS quorvane_utils)
endforeach()
add_dependencies(tst_SettingsStore utils_probe)
add_dependencies(tst_FileUtils utils_probe)
