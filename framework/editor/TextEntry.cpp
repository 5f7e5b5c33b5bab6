#include "TextEntry.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace mg {

namespace {

// Leading blanks and a plus sign are allowed, trailing text is ignored.
// Independent of the host's locale: the decimal mark is always a point.
double ReadDecimal(const char* text)
{
    if (!text) return 0.0;
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n') ++text;
    if (*text == '+') ++text;
    double v = 0.0;
    const auto result = std::from_chars(text, text + std::strlen(text), v);
    if (result.ec != std::errc() || !std::isfinite(v)) return 0.0;
    return v;
}

} // namespace

TextEntryPlan PlanTextEntry(const IRectangle& controlRect, const IParameter& parameter)
{
    TextEntryPlan plan;
    const int cx = static_cast<int>(static_cast<float>(controlRect.left + controlRect.right) * 0.5f);
    const int cy = static_cast<int>(static_cast<float>(controlRect.top + controlRect.bottom) * 0.5f);
    parameter.FormatForHost(parameter.value(), false, plan.text, sizeof plan.text);

    const int n = parameter.ValueTextCount();
    if (n > 0) {
        plan.choiceList = true;
        int width = 24;
        for (int i = 0; i < n; ++i) {
            const int w = 8 * static_cast<int>(std::strlen(parameter.ValueTextAt(i))) + 24;
            if (w > width) width = w;
            if (std::strcmp(parameter.ValueTextAt(i), plan.text) == 0) plan.selection = i;
        }
        plan.width = width;
        plan.height = 36 * n + 36;
        plan.x = cx - width / 2;
        plan.y = cy;
        return plan;
    }
    plan.width = controlRect.Width() > 36 ? controlRect.Width() : 36;
    plan.height = controlRect.Height() > 16 ? controlRect.Height() : 16;
    plan.x = cx - plan.width / 2;
    plan.y = cy - plan.height / 2;
    return plan;
}

double CommittedValue(const IParameter& parameter, const char* text)
{
    double value = 0.0;
    if (parameter.ValueTextCount() > 0) {
        int v = 0;
        parameter.ValueFromText(text, v);
        value = v;
    } else {
        value = ReadDecimal(text);
    }
    const double normalized = parameter.NormalizedOf(value);
    return std::isfinite(normalized) ? normalized : 0.0;
}

void TypeIntoEntry(char* text, std::size_t capacity, bool& fresh, char character)
{
    if (!text || capacity == 0 || character == 0) return;
    if (fresh) text[0] = '\0';
    fresh = false;
    const std::size_t n = std::strlen(text);
    if (n + 1 >= capacity) return;
    text[n] = character;
    text[n + 1] = '\0';
}

void EraseFromEntry(char* text, bool& fresh)
{
    if (!text) return;
    const std::size_t n = std::strlen(text);
    if (fresh) {
        text[0] = '\0';
    } else if (n > 0) {
        text[n - 1] = '\0';
    }
    fresh = false;
}

} // namespace mg
