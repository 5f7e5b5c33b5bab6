# The pedal as a CLAP module, MarrowGrit.clap in the build tree's lib/: its
# sources built again against the CLAP binding, with the editor's window, and
# one entry source holding the module's table of plug-ins.
mg_pedal_against(mg_pedal_clap mg_clap mg_editor_window)
target_include_directories(mg_pedal_clap PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/clap)

add_library(MarrowGritClap MODULE clap/Entry.cpp)
target_link_libraries(MarrowGritClap PRIVATE mg_pedal_clap)
target_compile_definitions(MarrowGritClap PRIVATE MG_CLAP_VERSION="${PROJECT_VERSION}")
# A plain shared library named .clap, on Linux and Windows alike.
set_target_properties(MarrowGritClap PROPERTIES PREFIX "" OUTPUT_NAME MarrowGrit SUFFIX .clap)
mg_set_warnings(MarrowGritClap)
if(WIN32)
  # The images are the DLL's own resources, found through the instance
  # handle the start-up hook records; the entry is marked for export.
  target_sources(MarrowGritClap PRIVATE win32/DllMain.cpp)
  mg_embed_resources(MarrowGritClap mg::PedalResources ${mg_pedal_images})
else()
  # clap_entry and nothing else, and every library resolved at link time:
  # hosts may load with RTLD_NOW.
  target_link_options(MarrowGritClap PRIVATE -Wl,--no-undefined
                      -Wl,--version-script=${CMAKE_CURRENT_SOURCE_DIR}/clap/exports.map)
  set_property(TARGET MarrowGritClap APPEND PROPERTY LINK_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/clap/exports.map)
endif()

# Linux: lib/clap under the prefix (the package: /usr/lib/clap); Windows: the
# archive's folder of each word size, beside MarrowGrit.dll.
install(TARGETS MarrowGritClap LIBRARY DESTINATION ${MG_INSTALL_CLAP_DIR} COMPONENT plugin)
