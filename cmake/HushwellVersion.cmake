# The version of project() as the binaries carry it: four fields, each within what a version
# block and Windows Installer hold (major and minor 0 to 255, build and revision 0 to 65535), so
# that the setup file can compare every field (docs/installer.md). hushwell_version.h, in the
# build folder's generated/, gives it to the resource scripts; hushwell_configure_manifest()
# writes it into a manifest.
foreach(field MAJOR MINOR PATCH TWEAK)
    if(NOT PROJECT_VERSION_${field} MATCHES "^[0-9]+$")
        message(FATAL_ERROR "project(Hushwell VERSION ${PROJECT_VERSION}): four fields are needed")
    endif()
endforeach()
if(PROJECT_VERSION_MAJOR GREATER 255 OR PROJECT_VERSION_MINOR GREATER 255 OR
   PROJECT_VERSION_PATCH GREATER 65535 OR PROJECT_VERSION_TWEAK GREATER 65535)
    message(FATAL_ERROR "project(Hushwell VERSION ${PROJECT_VERSION}): a field is out of range "
                        "(major and minor up to 255, build and revision up to 65535)")
endif()

set(HUSHWELL_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/hushwell_version.h.in
               ${HUSHWELL_GENERATED_DIR}/hushwell_version.h @ONLY)

# hushwell_configure_manifest(SOURCE): SOURCE (a manifest with @PROJECT_VERSION@) written with
# the version into generated/, under its name without .in, where the resource scripts find it.
function(hushwell_configure_manifest source)
    get_filename_component(name ${source} NAME)
    string(REGEX REPLACE "\\.in$" "" name ${name})
    configure_file(${source} ${HUSHWELL_GENERATED_DIR}/${name} @ONLY)
endfunction()
