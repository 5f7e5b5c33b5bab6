#pragma once
// Designs for the pedal's filter sections: the cookbook forms, with the
// pedal's own low shelf (cosine of 0.41·w0, H = √A·sin(w0)/1.41).
#include "BiquadBank.h"
#include "ChainTopology.h"

namespace mg {

enum class SectionType { HighPass, LowPass, Peaking, LowShelf, HighShelf };

struct SectionPlan {
    SectionType type;
    double frequency; // Hz
    double gainDb;    // peaking and shelves
    double bandwidth; // octaves, for high-pass, low-pass and peaking
};

// Sections kFuzzFirst to kFuzzLast shape the fuzz, kCabinetFirst to
// kCabinetLast the cabinet (ChainTopology.h).
extern const SectionPlan kSectionPlans[kDesignedSections];

void DesignSection(BiquadBank& bank, int k, const SectionPlan& plan, double sampleRate);
void DesignAllSections(BiquadBank& bank, double sampleRate);

} // namespace mg
