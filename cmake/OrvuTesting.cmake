# Test programs are Windows executables run under Wine.
#
# Two Wine prefixes live in the build folder: "wine-null" uses Wine's null
# display driver (windows, GDI and message boxes work without X; fast), and
# "wine-x11" is for tests that need real X windows, run under Xvfb. The
# fixture test "wine_prefixes" creates both and keeps their servers warm;
# "wine_shutdown" stops the servers at the end.

set(ORVU_TEST_BIN_DIR ${CMAKE_BINARY_DIR}/tests-bin)
set(ORVU_WINE_NULL_PREFIX ${CMAKE_BINARY_DIR}/wine-null)
set(ORVU_WINE_X11_PREFIX ${CMAKE_BINARY_DIR}/wine-x11)

# Test programs find the engine and runtime DLLs through WINEPATH.
string(REPLACE "/" "\\" ORVU_OUTPUT_DIR_WIN "Z:${ORVU_OUTPUT_DIR}")
set(ORVU_WINE_COMMON_ENV
    "WINEDEBUG=-all"
    "WINEARCH=win32"
    "WINEDLLOVERRIDES=mscoree,mshtml="
    "WINEPATH=${ORVU_OUTPUT_DIR_WIN}"
    "ORVU_OUTPUT_DIR=${ORVU_OUTPUT_DIR}"
    "ORVU_SOURCE_DIR=${CMAKE_SOURCE_DIR}")

# The test programs use std::thread, and GoogleTest std::mutex, which GCC 12
# has only in the posix thread model: every target made from here on is
# compiled and linked by the posix-model twin of the compiler. They load the
# shipped engine and plugins; the posix runtime DLLs beside them export the
# same functions as the shipped libgcc and are found first.
if(MINGW)
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_SOURCE_DIR}/cmake/posix-thread-model.sh)
    set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_SOURCE_DIR}/cmake/posix-thread-model.sh)
    string(REGEX REPLACE "-win32$" "-posix" ORVU_TEST_CXX_COMPILER ${CMAKE_CXX_COMPILER})
    orvu_copy_runtime_dlls(${ORVU_TEST_CXX_COMPILER} ${ORVU_TEST_BIN_DIR}
                           libgcc_s_dw2-1.dll libwinpthread-1.dll)
endif()

# orvu_build_like_shipped(<target>): a test module that the shipped program
# itself loads (a plugin) is built by the shipped compiler, so that it needs
# no runtime DLL that the program's folder lacks.
function(orvu_build_like_shipped target)
    set_target_properties(${target} PROPERTIES CXX_COMPILER_LAUNCHER "" CXX_LINKER_LAUNCHER "")
endfunction()

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_test(NAME wine_prefixes
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh
            ${ORVU_WINE_NULL_PREFIX} ${ORVU_WINE_X11_PREFIX})
set_tests_properties(wine_prefixes PROPERTIES
    FIXTURES_SETUP wine ENVIRONMENT "${ORVU_WINE_COMMON_ENV}")
# The display scalings tested besides 96 DPI (125, 150 and 200 %): each in a
# copy of the X11 prefix with that DPI, made once per build folder by the
# fixture "wine_scaled_prefixes".
set(ORVU_SCALED_DPIS 120 144 192)
set(ORVU_WINE_SCALED_PREFIXES)
foreach(dpi ${ORVU_SCALED_DPIS})
    list(APPEND ORVU_WINE_SCALED_PREFIXES ${ORVU_WINE_X11_PREFIX}-dpi${dpi})
endforeach()
add_test(NAME wine_scaled_prefixes
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh --scaled
            ${ORVU_WINE_X11_PREFIX} ${ORVU_SCALED_DPIS})
set_tests_properties(wine_scaled_prefixes PROPERTIES
    FIXTURES_SETUP wine_scaled FIXTURES_REQUIRED wine ENVIRONMENT "${ORVU_WINE_COMMON_ENV}")

# The test matrix, other Windows as users run them: 64-bit Windows (WoW64,
# reporting Windows 7 as a fresh 64-bit prefix does), Windows XP (32-bit) and
# Windows 10 (64-bit), each an X11 prefix made once per build folder by the
# fixture "wine_windows". The name is the suffix of the prefix's folder; a
# 64-bit prefix needs WINEARCH=win64 in every Wine command.
set(ORVU_WINDOWS_VARIANTS win64 winxp win10)
set(ORVU_WINDOWS_win64_ARCH win64)
set(ORVU_WINDOWS_winxp_ARCH win32)
set(ORVU_WINDOWS_win10_ARCH win64)
set(ORVU_WINE_WINDOWS_PREFIXES)
foreach(variant ${ORVU_WINDOWS_VARIANTS})
    list(APPEND ORVU_WINE_WINDOWS_PREFIXES ${ORVU_WINE_X11_PREFIX}-${variant})
endforeach()
add_test(NAME wine_windows
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh --windows ${ORVU_WINE_X11_PREFIX})
set_tests_properties(wine_windows PROPERTIES
    FIXTURES_SETUP wine_windows FIXTURES_REQUIRED wine TIMEOUT 300
    ENVIRONMENT "${ORVU_WINE_COMMON_ENV}")

# A copy of the X11 prefix whose programs share a Wine virtual desktop of
# 1366 x 768 (fixture "wine_desktop"): a screen whose resolution a test can
# change with ChangeDisplaySettingsEx, as undocking a laptop does.
set(ORVU_WINE_DESKTOP_PREFIX ${ORVU_WINE_X11_PREFIX}-desktop)
add_test(NAME wine_desktop_prefix
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh --desktop ${ORVU_WINE_X11_PREFIX} 1366x768)
set_tests_properties(wine_desktop_prefix PROPERTIES
    FIXTURES_SETUP wine_desktop FIXTURES_REQUIRED wine ENVIRONMENT "${ORVU_WINE_COMMON_ENV}")

add_test(NAME wine_shutdown
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh --stop
            ${ORVU_WINE_NULL_PREFIX} ${ORVU_WINE_X11_PREFIX} ${ORVU_WINE_SCALED_PREFIXES}
            ${ORVU_WINE_WINDOWS_PREFIXES}
            ${ORVU_WINE_DESKTOP_PREFIX})
set_tests_properties(wine_shutdown PROPERTIES
    FIXTURES_CLEANUP wine ENVIRONMENT "${ORVU_WINE_COMMON_ENV}")

# orvu_add_test_program(<name> SOURCES <files...> [LIBS <libs...>]
#                       [X11] [NO_GTEST_MAIN] [TIMEOUT <s>])
#
# One test program per area, run as one CTest test under Wine: in the
# null-driver prefix by default, or under Xvfb in the X11 prefix.
function(orvu_add_test_program name)
    cmake_parse_arguments(T "X11;NO_GTEST_MAIN" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    if(T_NO_GTEST_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock ${T_LIBS})
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock ${T_LIBS})
    endif()
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVU_TEST_BIN_DIR})
    set(x11)
    if(T_X11)
        set(x11 X11)
    endif()
    set(timeout)
    if(T_TIMEOUT)
        set(timeout TIMEOUT ${T_TIMEOUT})
    endif()
    orvu_add_wine_test(${name} ${x11} ${timeout} COMMAND wine $<TARGET_FILE:${name}>)
endfunction()

# orvu_add_wine_test(<name> [X11 | DPI <dpi> | DESKTOP | WINDOWS <variant>] [TIMEOUT <s>]
#                    COMMAND <cmd...>)
#
# Runs any command (a Wine program, or a shell driver that starts one) with
# the Wine environment of the test prefixes. DPI: under Xvfb in the X11
# prefix set to that scaling (one of ORVU_SCALED_DPIS), on a screen of
# 1366 x 768 scaled pixels, as a laptop at that scaling has. DESKTOP: under
# Xvfb in the virtual-desktop prefix, starting at 1366 x 768. WINDOWS: under
# Xvfb in that prefix of the test matrix (one of ORVU_WINDOWS_VARIANTS).
function(orvu_add_wine_test name)
    cmake_parse_arguments(T "X11;DESKTOP" "TIMEOUT;DPI;WINDOWS" "COMMAND" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    set(fixtures wine)
    set(env ${ORVU_WINE_COMMON_ENV})
    if(T_WINDOWS)
        add_test(NAME ${name}
            COMMAND xvfb-run -a -s "-screen 0 1366x768x24"
                    ${CMAKE_SOURCE_DIR}/scripts/x11-test.sh ${T_COMMAND}
            WORKING_DIRECTORY ${ORVU_OUTPUT_DIR})
        set(prefix ${ORVU_WINE_X11_PREFIX}-${T_WINDOWS})
        set(fixtures "wine;wine_windows")
        list(REMOVE_ITEM env "WINEARCH=win32")
        list(APPEND env "WINEARCH=${ORVU_WINDOWS_${T_WINDOWS}_ARCH}")
    elseif(T_DPI)
        math(EXPR width "(1366 * ${T_DPI} + 48) / 96")
        math(EXPR height "(768 * ${T_DPI} + 48) / 96")
        add_test(NAME ${name}
            COMMAND xvfb-run -a -s "-screen 0 ${width}x${height}x24"
                    ${CMAKE_SOURCE_DIR}/scripts/x11-test.sh ${T_COMMAND}
            WORKING_DIRECTORY ${ORVU_OUTPUT_DIR})
        set(prefix ${ORVU_WINE_X11_PREFIX}-dpi${T_DPI})
        set(fixtures "wine;wine_scaled")
    elseif(T_X11 OR T_DESKTOP)
        add_test(NAME ${name}
            COMMAND xvfb-run -a -s "-screen 0 1366x768x24"
                    ${CMAKE_SOURCE_DIR}/scripts/x11-test.sh ${T_COMMAND}
            WORKING_DIRECTORY ${ORVU_OUTPUT_DIR})
        set(prefix ${ORVU_WINE_X11_PREFIX})
        if(T_DESKTOP)
            set(prefix ${ORVU_WINE_DESKTOP_PREFIX})
            set(fixtures "wine;wine_desktop")
        endif()
    else()
        add_test(NAME ${name} COMMAND ${T_COMMAND} WORKING_DIRECTORY ${ORVU_OUTPUT_DIR})
        set(prefix ${ORVU_WINE_NULL_PREFIX})
    endif()
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED "${fixtures}"
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "${env};WINEPREFIX=${prefix}")
endfunction()
