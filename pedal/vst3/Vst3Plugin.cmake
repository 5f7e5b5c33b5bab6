# The pedal as a VST 3 bundle, MarrowGrit.vst3 in the build tree: its
# sources built against the VST 3 binding with the platform's editor
# window, and the module in the bundle's folder for this system:
#   Contents/x86_64-linux/MarrowGrit.so      Linux
#   Contents/x86_64-win/MarrowGrit.vst3      64-bit Windows
#   Contents/x86-win/MarrowGrit.vst3         32-bit Windows
if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(mg_vst3_arch x86_64-win)
  else()
    set(mg_vst3_arch x86-win)
  endif()
else()
  set(mg_vst3_arch ${CMAKE_SYSTEM_PROCESSOR}-linux)
endif()
set(MG_VST3_BUNDLE ${CMAKE_BINARY_DIR}/vst3/MarrowGrit.vst3 CACHE INTERNAL "The VST 3 bundle in the build tree")
set(MG_VST3_ARCH ${mg_vst3_arch} CACHE INTERNAL "The VST 3 bundle's folder for this system")

mg_pedal_against(mg_pedal_vst3 mg_vst3 mg_editor_window)

add_library(MarrowGritVst3 MODULE vst3/Entry.cpp)
target_link_libraries(MarrowGritVst3 PRIVATE mg_pedal_vst3)
target_compile_definitions(MarrowGritVst3 PRIVATE MG_PROJECT_VERSION="${PROJECT_VERSION}")
set_target_properties(MarrowGritVst3 PROPERTIES PREFIX "" OUTPUT_NAME MarrowGrit
                      LIBRARY_OUTPUT_DIRECTORY ${MG_VST3_BUNDLE}/Contents/${mg_vst3_arch})
if(WIN32)
  # The DLL carries the editor's images as resources, found through its own
  # instance handle, as the VST 2.4 DLL does.
  set_target_properties(MarrowGritVst3 PROPERTIES SUFFIX .vst3)
  target_sources(MarrowGritVst3 PRIVATE win32/DllMain.cpp vst3/MarrowGrit.def)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The .def file names the factory undecorated; the linker finds the
    # stdcall symbol (GetPluginFactory@0) behind the name, as intended.
    target_link_options(MarrowGritVst3 PRIVATE -Wl,--enable-stdcall-fixup)
  endif()
  mg_embed_resources(MarrowGritVst3 mg::PedalResources ${mg_pedal_images})
elseif(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  # Every symbol resolved at link time; not under clang's sanitizers, whose
  # runtime comes from the program that loads the module.
  target_link_options(MarrowGritVst3 PRIVATE -Wl,--no-undefined)
endif()
mg_set_warnings(MarrowGritVst3)

# Where hosts look for bundles: lib/vst3 under the prefix on Linux; in the
# Windows archive, one bundle for both builds.
install(TARGETS MarrowGritVst3 LIBRARY DESTINATION ${MG_INSTALL_VST3_DIR}/MarrowGrit.vst3/Contents/${mg_vst3_arch}
        COMPONENT plugin)
