// The CLAP module's plug-ins and its exported entry.
#include "MarrowGrit.h"
#include "MarrowGritHQ.h"
#include "PedalClap.h"
#include "clap/ClapEntry.h"

namespace {

constexpr const char* kPedalFeatures[] = {"audio-effect", "distortion", "stereo", "mono", nullptr};

// One entry per plug-in class of the module.
const mg::ClapClass kClasses[] = {
    {{clap::kVersion, mg::kPedalClapId, "Marrow-Grit[M]", "tonewrights", "", "", "", MG_CLAP_VERSION,
      "A fuzz pedal with a switchable speaker cabinet", kPedalFeatures},
     &mg::CreateClapPlugin<mg::MarrowGrit>},
    {{clap::kVersion, mg::kPedalHqClapId, "Marrow-Grit HQ", "tonewrights", "", "", "", MG_CLAP_VERSION,
      "The same fuzz pedal without aliasing", kPedalFeatures},
     &mg::CreateClapPlugin<mg::MarrowGritHQ>},
};

} // namespace

std::span<const mg::ClapClass> mg::ClapModuleClasses() { return kClasses; }

MG_CLAP_ENTRY()
