# Compiler settings shared by every target of the project (never by GoogleTest's own).

if(WIN32)
    # Windows binaries carry their runtime inside: they import system DLLs only.
    set(HUSHWELL_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
    add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX STRICT)
else()
    option(HUSHWELL_SANITIZE "Build host code with address and undefined-behaviour sanitizers" ON)
endif()

function(hushwell_target_settings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    get_target_property(type ${target} TYPE)
    if(WIN32)
        if(CMAKE_BUILD_TYPE STREQUAL "Release")
            # Small binaries: optimise for size and let the linker drop what nothing uses.
            target_compile_options(${target} PRIVATE -Os -ffunction-sections -fdata-sections)
        endif()
        # Reproducible binaries: no source or build folder in the code (a path in __FILE__ or an
        # assertion), and no link time in the PE header. The header's stamp stays 0 rather than
        # the last commit's time: an incremental build relinks only what changed, so a stamp
        # from the commit would make build/ differ from a fresh build of the same commit.
        target_compile_options(${target} PRIVATE
            $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>
            $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>)
        if(type STREQUAL "EXECUTABLE" OR type STREQUAL "SHARED_LIBRARY")
            target_link_options(${target} PRIVATE ${HUSHWELL_STATIC_RUNTIME} -Wl,--no-insert-timestamp)
            if(CMAKE_BUILD_TYPE STREQUAL "Release")
                target_link_options(${target} PRIVATE -s -Wl,--gc-sections)
            endif()
        endif()
    elseif(HUSHWELL_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined
                                                 -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
endfunction()

# Shipped code (everything but tests, benchmarks and the simulated radio): no exceptions, no
# run-time type information and no thread-safe statics, so that the static C++ runtime stays
# out of the Windows binaries; allocation failures come back as nullptr (-fcheck-new). Shipped
# executables and DLLs link the small runtime support of runtime/ instead.
function(hushwell_product target)
    if(WIN32)
        target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti
                                                 -fno-threadsafe-statics -fcheck-new)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "EXECUTABLE" OR type STREQUAL "SHARED_LIBRARY")
            target_sources(${target} PRIVATE $<TARGET_OBJECTS:hw_runtime>)
        endif()
    endif()
endfunction()
