# Cross build of uninst: static 64-bit Windows programs, tests on GoogleTest run under Wine.
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601)
# uninst is handed out as one small program: optimised for size, and the tests run that code.
add_compile_options($<$<NOT:$<CONFIG:Debug>>:-Os>)
# Resource scripts (the skin package and the icon) go through mingw's windres.
enable_language(RC)

# GoogleTest for mingw, built from Debian's googletest sources.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# LZMA SDK's C decoder, unpacked from Debian's 7zip source package by scripts/setup.sh.
set(LZMA_SDK_DIR ${CMAKE_SOURCE_DIR}/build/deps/lzma-sdk/C CACHE PATH "LZMA SDK C sources")

# Every test program runs through wine-run, which uses the throwaway prefix of this build and
# puts the program on a desktop of its own (scripts/wine-own-desktop.cpp says why).
set(WINE_PREFIX_DIR ${CMAKE_BINARY_DIR}/wineprefix)
add_executable(wine_own_desktop ${CMAKE_SOURCE_DIR}/scripts/wine-own-desktop.cpp)
set_target_properties(wine_own_desktop PROPERTIES OUTPUT_NAME wine-own-desktop
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_compile_options(wine_own_desktop PRIVATE -Wall -Wextra)
target_link_options(wine_own_desktop PRIVATE -municode)
set(WINE_OWN_DESKTOP ${CMAKE_BINARY_DIR}/wine-own-desktop.exe)
set(RUN_IN_OWN_GROUP ${CMAKE_SOURCE_DIR}/scripts/tests/run-in-own-group.sh)
configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# uninst_add_gtest(<name> SOURCES <files...> [LIBS <targets...>])
function(uninst_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE gmock_main ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

# uninst_pack_skin(<package> FORMAT 7z|zip FOLDER <folder> ENTRIES <entries...>
#                  DEPENDS <files...>)
# Packs the entries of a skin folder (the skin XML and its picture folders, relative to the
# folder) into a skin package with Debian's 7z or zip tool, at build time.
function(uninst_pack_skin package)
    cmake_parse_arguments(ARG "" "FORMAT;FOLDER" "ENTRIES;DEPENDS" ${ARGN})
    if(ARG_FORMAT STREQUAL "7z")
        find_program(SEVEN_ZIP 7z REQUIRED)
        set(pack_command ${SEVEN_ZIP} a -t7z -bd -bso0 -bsp0 -y ${package} ${ARG_ENTRIES})
    elseif(ARG_FORMAT STREQUAL "zip")
        find_program(ZIP_TOOL zip REQUIRED)
        set(pack_command ${ZIP_TOOL} -q -X -r ${package} ${ARG_ENTRIES})
    else()
        message(FATAL_ERROR "uninst_pack_skin: FORMAT must be 7z or zip")
    endif()
    get_filename_component(package_name ${package} NAME)
    get_filename_component(package_dir ${package} DIRECTORY)
    add_custom_command(
        OUTPUT ${package}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${package_dir}
        COMMAND ${CMAKE_COMMAND} -E rm -f ${package}
        COMMAND ${pack_command}
        WORKING_DIRECTORY ${ARG_FOLDER}
        DEPENDS ${ARG_DEPENDS}
        COMMENT "Packing the skin package ${package_name}"
        VERBATIM)
endfunction()
