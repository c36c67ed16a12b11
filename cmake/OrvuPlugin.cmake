# orvu_add_picture_plugin(<name> SOURCES <files...> [LIBS <libs...>])
#
# Builds a picture plugin module <name>.dll into plugins/ beside the program,
# and ships it there.
# Plugins link against the engine (for PicturePlugin and Picture) and export
# their three entry points undecorated.
function(orvu_add_picture_plugin name)
    cmake_parse_arguments(PLUGIN "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} SHARED ${PLUGIN_SOURCES})
    target_link_libraries(${name} PRIVATE OrvuEngine ${PLUGIN_LIBS})
    # PluginEntryPoints.h, shared by the plugin modules.
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/code/PicturePlugins)
    set_target_properties(${name} PROPERTIES
        PREFIX ""
        RUNTIME_OUTPUT_DIRECTORY ${ORVU_PLUGIN_DIR}
        LIBRARY_OUTPUT_DIRECTORY ${ORVU_PLUGIN_DIR})
    install(TARGETS ${name} RUNTIME DESTINATION plugins)
endfunction()
