# GoogleTest from Debian's source package, built for whichever target this build is for.
# Tests of both Windows builds run through CMAKE_CROSSCOMPILING_EMULATOR (scripts/lib/wine-run);
# scripts/test runs the i686 ones only where the machine can run 32-bit code.

enable_testing()

set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(WIN32)
    target_link_options(gtest_main PUBLIC ${HUSHWELL_STATIC_RUNTIME})
endif()
if(NOT WIN32 AND HUSHWELL_SANITIZE)
    foreach(lib gtest gtest_main)
        target_compile_options(${lib} PRIVATE -fsanitize=address,undefined)
    endforeach()
endif()

# hushwell_add_gtest(name SOURCES ... [LIBS ...] [LABELS ...] [TIMEOUT s] [DESKTOP])
# DESKTOP: the test shows windows; such tests take turns, since another program's window taking
# the foreground would move their focus.
function(hushwell_add_gtest name)
    cmake_parse_arguments(T "DESKTOP" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main)
    hushwell_target_settings(${name})
    if(WIN32)
        # Test programs are console programs even when they drive windows.
        target_link_options(${name} PRIVATE -mconsole)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
    if(T_DESKTOP)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
    endif()
endfunction()

# Import-table check: a Windows binary may import system DLLs only. Labelled static: it runs
# nothing of the build, so it runs on every machine.
function(hushwell_check_imports target)
    if(WIN32)
        add_test(NAME imports_${target}
                 COMMAND ${PROJECT_SOURCE_DIR}/scripts/lib/check-imports ${CMAKE_OBJDUMP}
                         $<TARGET_FILE:${target}> ${ARGN})
        set_tests_properties(imports_${target} PROPERTIES LABELS static)
    endif()
endfunction()
