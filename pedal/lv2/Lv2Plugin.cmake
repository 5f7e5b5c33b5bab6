# The pedal as an LV2 bundle, marrow-grit.lv2 in the build tree: the
# effect's sources built again against the LV2 binding (the DSP library; the
# effect builds no editor there, and the headless backend only satisfies the
# editor's code, so the library links no window system), and, where the X11
# editor is built, a third time against the UI binding with it (the UI
# library). The sources, their compile options and the images are mg_pedal's
# own, one list for every build; the sound's own code (mg_pedal_dsp) is
# linked, not built again.
if(NOT TARGET mg_lv2)
  return()
endif()

# A library of the bundle, built from one entry source.
function(mg_lv2_module target output entry library)
  add_library(${target} MODULE ${entry})
  target_link_libraries(${target} PRIVATE ${library})
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${output}
                        LIBRARY_OUTPUT_DIRECTORY ${MG_LV2_BUNDLE})
  target_link_options(${target} PRIVATE -Wl,--no-undefined)
  mg_set_warnings(${target})
  # Where Linux hosts look for bundles: lib/lv2 under the prefix.
  install(TARGETS ${target} LIBRARY DESTINATION ${MG_INSTALL_LV2_DIR}/marrow-grit.lv2 COMPONENT lv2)
endfunction()

set(MG_LV2_BUNDLE ${CMAKE_BINARY_DIR}/lv2/marrow-grit.lv2 CACHE INTERNAL "The LV2 bundle in the build tree")
mg_pedal_against(mg_pedal_lv2 mg_lv2 mg_editor_window_headless)
target_include_directories(mg_pedal_lv2 PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/lv2)
mg_lv2_module(MarrowGritLv2 marrow-grit lv2/Entry.cpp mg_pedal_lv2)
mg_lv2_module(MarrowGritHqLv2 marrow-grit-hq lv2/EntryHQ.cpp mg_pedal_lv2)
set(mg_lv2_binaries marrow-grit${CMAKE_SHARED_MODULE_SUFFIX} marrow-grit-hq${CMAKE_SHARED_MODULE_SUFFIX})
set(mg_lv2_targets MarrowGritLv2 MarrowGritHqLv2)
if(TARGET mg_lv2_ui)
  mg_pedal_against(mg_pedal_lv2_ui mg_lv2_ui mg_editor_window)
  target_include_directories(mg_pedal_lv2_ui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/lv2)
  mg_lv2_module(MarrowGritLv2Ui marrow-grit-ui lv2/UiEntry.cpp mg_pedal_lv2_ui)
  list(APPEND mg_lv2_binaries marrow-grit-ui${CMAKE_SHARED_MODULE_SUFFIX})
  list(APPEND mg_lv2_targets MarrowGritLv2Ui)
endif()

# The Turtle files, written from the pedal's parameters and programs.
add_executable(mg-lv2-describe lv2/Describe.cpp)
target_link_libraries(mg-lv2-describe PRIVATE mg_pedal_lv2)
mg_set_warnings(mg-lv2-describe)
set(mg_lv2_turtle ${MG_LV2_BUNDLE}/manifest.ttl ${MG_LV2_BUNDLE}/plugin.ttl ${MG_LV2_BUNDLE}/presets.ttl
                   ${MG_LV2_BUNDLE}/hq.ttl ${MG_LV2_BUNDLE}/hq-presets.ttl)
add_custom_command(OUTPUT ${mg_lv2_turtle}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${MG_LV2_BUNDLE}
                   COMMAND mg-lv2-describe ${MG_LV2_BUNDLE} ${mg_lv2_binaries}
                   DEPENDS mg-lv2-describe
                   COMMENT "Describing the LV2 bundle" VERBATIM)
add_custom_target(marrow-grit-lv2 ALL DEPENDS ${mg_lv2_turtle} ${mg_lv2_targets})
install(FILES ${mg_lv2_turtle} DESTINATION ${MG_INSTALL_LV2_DIR}/marrow-grit.lv2 COMPONENT lv2)
