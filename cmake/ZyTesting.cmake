# GoogleTest from the distribution's sources, built with the cross compiler, and the helpers
# that declare the project's test and benchmark executables.

if(NOT TARGET gtest)
    set(ZY_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
    if(NOT EXISTS ${ZY_GTEST_SOURCE}/CMakeLists.txt)
        message(FATAL_ERROR "GoogleTest sources not found in ${ZY_GTEST_SOURCE}: run scripts/setup")
    endif()
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${ZY_GTEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# Under Wine only the 64-bit build can run; the 32-bit tree is built, never run here.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64" AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${PROJECT_SOURCE_DIR}/scripts/wine-run --prefix ${PROJECT_BINARY_DIR}/wineprefix)
endif()

# zy_test(<name> SOURCES ... [LIBS ...] [TIMEOUT seconds] [HELPERS target ...] [OWN_MAIN]
#         [MANY_BOXES])
# One GoogleTest executable and one CTest test that runs it under the emulator, in a
# scratch directory of its own (the libraries write files into the current directory).
# Every test links the shared helpers of tests/support (zy_test_support).
# OWN_MAIN: the sources define main() themselves (for example to act as a helper process).
# MANY_BOXES: the program provokes many message boxes; its main() first leaves its windows
# unmanaged under Wine (ZyTestBezMenedzhera.h), so that each box closes at once.
function(zy_test name)
    cmake_parse_arguments(T "OWN_MAIN;MANY_BOXES" "TIMEOUT" "SOURCES;LIBS;HELPERS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    add_executable(${name} ${T_SOURCES})
    zy_project_target(${name})
    if(T_MANY_BOXES)
        target_link_libraries(${name} PRIVATE zy_test_glavnaja gtest ${T_LIBS})
    elseif(T_OWN_MAIN)
        target_link_libraries(${name} PRIVATE gtest ${T_LIBS})
    else()
        target_link_libraries(${name} PRIVATE gtest_main gtest ${T_LIBS})
    endif()
    if(TARGET zy_test_support)
        target_link_libraries(${name} PRIVATE zy_test_support)
    endif()
    if(T_HELPERS)
        add_dependencies(${name} ${T_HELPERS})
    endif()
    set(work ${PROJECT_BINARY_DIR}/testwork/${name})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${work})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()

# zy_bench(<name> SOURCES ... [LIBS ...]): a benchmark program (not a test), with the shared
# helpers of tests/support.
function(zy_bench name)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${B_SOURCES})
    zy_project_target(${name})
    target_link_libraries(${name} PRIVATE ${B_LIBS})
    if(TARGET zy_test_support)
        target_link_libraries(${name} PRIVATE zy_test_support)
    endif()
endfunction()
