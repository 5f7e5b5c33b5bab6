#include "ClipperCurve.h"

#include "FuzzShaper.h"
#include "OpenedPedal.h"

namespace mg::figures {

namespace {

constexpr double kAttacks[] = {0.0, 0.5, 1.0};
// The clipper's input, the filtered guitar, swings about this far.
constexpr double kInputSpan = 0.25;
constexpr int kSteps = 1000;

} // namespace

Table ClipperCurve()
{
    Table table;
    table.comments = {
        "The clipper's static curve, FuzzShaper(s, drive), at three Attack settings.",
        "Rows: 'attack' the settings; 'drive' the drive the plug-in sets for each;",
        "'curve' the input s, then the output at each setting.",
    };
    table.decimals = 6;
    Row attacks{"attack", {}};
    Row drives{"drive", {}};
    const auto pedal = OpenedPedal(44100.0);
    for (double attack : kAttacks) {
        pedal->ParameterAt(MarrowGrit::kAttack)->SetFromNormalized(attack);
        pedal->OnParameterChange(MarrowGrit::kAttack);
        attacks.values.push_back(attack);
        drives.values.push_back(pedal->Drive());
    }
    table.rows = {attacks, drives};
    for (int i = 0; i <= kSteps; ++i) {
        const double s = kInputSpan * (2.0 * i / kSteps - 1.0);
        Row row{"curve", {s}};
        for (double drive : drives.values) row.values.push_back(FuzzShaper(s, drive));
        table.rows.push_back(std::move(row));
    }
    return table;
}

} // namespace mg::figures
