# The pedal a second time, against the LV2 binding, as the bundle
# marrow-grit.lv2 in the build tree. The sources, their compile options and
# the images are mg_pedal's own (one list for both builds); the editor is the
# headless one, so the DSP library links no window system.
if(NOT TARGET mg_lv2)
  return()
endif()

get_target_property(mg_pedal_sources mg_pedal SOURCES)
get_target_property(mg_pedal_definitions mg_pedal COMPILE_DEFINITIONS)
get_target_property(mg_pedal_links mg_pedal LINK_LIBRARIES)
list(REMOVE_ITEM mg_pedal_links mg_vst mg_editor_window)

add_library(mg_pedal_lv2 STATIC ${mg_pedal_sources})
target_include_directories(mg_pedal_lv2 PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/lv2)
if(mg_pedal_definitions)
  target_compile_definitions(mg_pedal_lv2 PRIVATE ${mg_pedal_definitions})
endif()
target_link_libraries(mg_pedal_lv2 PUBLIC mg_lv2 mg_editor_headless ${mg_pedal_links})
mg_set_warnings(mg_pedal_lv2)

set(MG_LV2_BUNDLE ${CMAKE_BINARY_DIR}/lv2/marrow-grit.lv2 CACHE INTERNAL "The LV2 bundle in the build tree")
set(mg_lv2_binary marrow-grit${CMAKE_SHARED_MODULE_SUFFIX})

add_library(MarrowGritLv2 MODULE lv2/Entry.cpp)
target_link_libraries(MarrowGritLv2 PRIVATE mg_pedal_lv2)
set_target_properties(MarrowGritLv2 PROPERTIES PREFIX "" OUTPUT_NAME marrow-grit
                      LIBRARY_OUTPUT_DIRECTORY ${MG_LV2_BUNDLE})
target_link_options(MarrowGritLv2 PRIVATE -Wl,--no-undefined)
mg_set_warnings(MarrowGritLv2)

# The Turtle files, written from the pedal's parameters and programs.
add_executable(mg-lv2-describe lv2/Describe.cpp)
target_link_libraries(mg-lv2-describe PRIVATE mg_pedal_lv2)
mg_set_warnings(mg-lv2-describe)
set(mg_lv2_turtle ${MG_LV2_BUNDLE}/manifest.ttl ${MG_LV2_BUNDLE}/plugin.ttl ${MG_LV2_BUNDLE}/presets.ttl)
add_custom_command(OUTPUT ${mg_lv2_turtle}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${MG_LV2_BUNDLE}
                   COMMAND mg-lv2-describe ${MG_LV2_BUNDLE} ${mg_lv2_binary}
                   DEPENDS mg-lv2-describe
                   COMMENT "Describing the LV2 bundle" VERBATIM)
add_custom_target(marrow-grit-lv2 ALL DEPENDS ${mg_lv2_turtle} MarrowGritLv2)

# Where Linux hosts look for bundles: lib/lv2 under the prefix.
install(TARGETS MarrowGritLv2 LIBRARY DESTINATION lib/lv2/marrow-grit.lv2)
install(FILES ${mg_lv2_turtle} DESTINATION lib/lv2/marrow-grit.lv2)
