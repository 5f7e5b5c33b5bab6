// What a user types into the value box: any bytes, committed to each kind
// of parameter the pedal has. The value that reaches the parameter must be
// a finite normalised value, and the parameter's real value must stay in
// its range with its display text terminated.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/IParameter.h"
#include "editor/IRectangle.h"
#include "editor/TextEntry.h"

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz_text_entry: %s\n", what);
    std::abort();
}

struct Parameters {
    mg::IParameter level, choice, wide;
    Parameters()
    {
        level.InitContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
        choice.InitChoice("Effect", 1, 2);
        choice.AddValueText(0, "Off");
        choice.AddValueText(1, "On");
        wide.InitContinuous("Wide", 0.0, -1.0e6, 1.0e6, 0.5, "Hz");
    }
};

void Commit(mg::IParameter& parameter, const char* text)
{
    const double normalized = mg::CommittedValue(parameter, text);
    if (!(normalized >= 0.0 && normalized <= 1.0)) Fail("committed text gave a value outside 0..1");
    parameter.SetFromNormalized(normalized);
    if (!(parameter.value() >= parameter.minimum() && parameter.value() <= parameter.maximum()))
        Fail("committed text left the parameter outside its range");
    const mg::TextEntryPlan plan = mg::PlanTextEntry(mg::IRectangle(10, 20, 40, 50), parameter);
    if (!std::memchr(plan.text, 0, sizeof plan.text)) Fail("display text without terminator");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Parameters parameters;
    // The box hands over a terminated text of at most a few dozen bytes, but
    // the parser must not rely on that.
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    Commit(parameters.level, text.data());
    Commit(parameters.choice, text.data());
    Commit(parameters.wide, text.data());
    return 0;
}
