# Builds one program per source file matching `pattern` in the calling
# folder, each named after its file and linked with the core library.
function(tesselo_add_programs pattern)
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${pattern}")
    foreach(source ${sources})
        get_filename_component(name "${source}" NAME_WE)
        add_executable(${name} "${source}")
        target_link_libraries(${name} PRIVATE tesselo_core)
    endforeach()
endfunction()
