# ---- the VST 3 binding ------------------------------------------------------------
# mg_vst3_abi: our header of the interface, the reference counting and the
# UTF-16 texts, for the binding and for hosts (host code sees only this).
add_library(mg_vst3_abi STATIC vst3/Vst3Text.cpp)
mg_expose_headers(mg_vst3_abi vst3 vst3/Vst3Abi.h vst3/Vst3Unknown.h vst3/Vst3Text.h)
mg_set_warnings(mg_vst3_abi)

# mg_vst3: the binding (component, processor and controller in one object),
# its editor view and the module's factory. Uses the core only: it reaches
# the editor through the core's link.
add_library(mg_vst3 STATIC
  vst3/IVst3Plugin.cpp
  vst3/Vst3Controller.cpp
  vst3/Vst3Module.cpp
  vst3/Vst3Processor.cpp
  vst3/Vst3View.cpp
)
mg_expose_headers(mg_vst3 vst3 vst3/IVst3Plugin.h vst3/Vst3Module.h vst3/Vst3View.h)
mg_expose_headers(mg_vst3 "" vst3/BindingPlugin.h)
target_link_libraries(mg_vst3 PUBLIC mg_core mg_vst3_abi)
mg_set_warnings(mg_vst3)
