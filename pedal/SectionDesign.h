#pragma once
// Designs for the pedal's filter sections: the cookbook forms, with the
// pedal's own low shelf (cosine of 0.41·w0, H = √A·sin(w0)/1.41).
#include "BiquadBank.h"

namespace mg {

enum class SectionType { HighPass, LowPass, Peaking, LowShelf, HighShelf };

struct SectionPlan {
    SectionType type;
    double frequency; // Hz
    double gainDb;    // peaking and shelves
    double bandwidth; // octaves, for high-pass, low-pass and peaking
};

// Sections 0 to 11 shape the fuzz, 12 to 21 the cabinet.
constexpr int kFuzzFirst = 0;
constexpr int kFuzzLast = 11;
constexpr int kCabinetFirst = 12;
constexpr int kCabinetLast = 21;
constexpr int kDesignedSections = 22;

extern const SectionPlan kSectionPlans[kDesignedSections];

void DesignSection(BiquadBank& bank, int k, const SectionPlan& plan, double sampleRate);
void DesignAllSections(BiquadBank& bank, double sampleRate);

} // namespace mg
