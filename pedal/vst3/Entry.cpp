// The VST 3 module's entry points and the classes it holds.
#include "MarrowGrit.h"
#include "MarrowGritHQ.h"
#include "vst3/Vst3Module.h"

namespace {

// Class ids are four words drawn at random once; hosts store sessions under
// them, so they never change.
constexpr mg::Vst3Class kClasses[] = {
    {{0x2BD05BA6, 0x0CD4E37A, 0x0F03BC94, 0xD5B083E7},
     mg::MarrowGrit::kIdentity,
     "Fx|Distortion",
     &mg::CreateVst3Plugin<mg::MarrowGrit>},
    {{0x5D093F0D, 0xB98E3F96, 0x83EE8BAE, 0x228545DD},
     mg::MarrowGritHQ::kIdentity,
     "Fx|Distortion",
     &mg::CreateVst3Plugin<mg::MarrowGritHQ>},
};

const mg::Vst3ModuleInfo& Module()
{
    static const mg::Vst3ModuleInfo module{"tonewrights", "https://marrow-grit.example", "", MG_PROJECT_VERSION,
                                           kClasses};
    return module;
}

} // namespace

MG_VST3_ENTRY(Module)
