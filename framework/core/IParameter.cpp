#include "IParameter.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "FixedText.h"
#include "Numbers.h"

namespace mg {

void IParameter::InitContinuous(const char* name, double defaultValue, double minimum,
                                double maximum, double step, const char* label)
{
    if (kind_ == kNotInitialised) kind_ = kContinuous;
    CopyBounded(name_, name);
    CopyBounded(label_, label);
    value_ = defaultValue;
    minimum_ = minimum;
    maximum_ = (minimum + step > maximum) ? minimum + step : maximum;
    step_ = step;

    // As many decimal places as the step needs to be a whole number, at most 6.
    int p = 0;
    double s = step;
    while (s != std::floor(s) && p < 6) {
        ++p;
        s *= 10.0;
    }
    precision_ = p;
}

void IParameter::InitChoice(const char* name, int defaultIndex, int stateCount)
{
    if (kind_ == kNotInitialised) kind_ = kChoice;
    InitContinuous(name, defaultIndex, 0.0, stateCount - 1, 1.0, "");
}

void IParameter::AddValueText(int value, const char* text)
{
    ValueText entry;
    entry.value = value;
    CopyBounded(entry.text, text);
    valueTexts_.push_back(entry);
}

const char* IParameter::ValueTextAt(int i) const
{
    if (i < 0 || i >= ValueTextCount()) return "";
    return valueTexts_[static_cast<std::size_t>(i)].text;
}

const char* IParameter::ValueTextFor(int value) const
{
    for (const ValueText& entry : valueTexts_)
        if (entry.value == value) return entry.text;
    return "";
}

bool IParameter::ValueFromText(const char* text, int& out) const
{
    if (!text) return false;
    for (const ValueText& entry : valueTexts_) {
        if (std::strcmp(entry.text, text) == 0) {
            out = entry.value;
            return true;
        }
    }
    return false;
}

double IParameter::ValueFromNormalized(double normalized) const
{
    double v = minimum_ + (maximum_ - minimum_) * std::pow(normalized, shape_);
    if (kind_ != kContinuous) v = step_ * std::floor(v / step_ + 0.5);
    if (!(v < maximum_)) v = maximum_; // also catches NaN
    return v;
}

void IParameter::SetFromNormalized(double normalized) { value_ = ValueFromNormalized(normalized); }

double IParameter::NormalizedOf(double value) const
{
    double v = value;
    if (v < minimum_) v = minimum_;
    if (v > maximum_) v = maximum_;
    return std::pow((v - minimum_) / (maximum_ - minimum_), 1.0 / shape_);
}

double IParameter::Clamp(double v) const
{
    if (std::isnan(v)) v = 0.0;
    if (v < minimum_) return minimum_;
    if (v > maximum_) return maximum_;
    return v;
}

void IParameter::FormatForHost(double value, bool normalized, char* out, std::size_t capacity) const
{
    if (!out || capacity == 0) return;
    double v = value;
    if (normalized) v = minimum_ + (maximum_ - minimum_) * std::pow(v, shape_);

    const char* text = ValueTextFor(TruncToInt(v));
    if (text[0] != '\0') {
        CopyBounded(out, capacity, text);
        return;
    }
    if (v == 0.0) {
        CopyBounded(out, capacity, "0");
        return;
    }
    if (precision_ == 0) {
        std::snprintf(out, capacity, "%d", TruncToInt(v));
        return;
    }
    std::snprintf(out, capacity, "%.*f", precision_, v);
}

} // namespace mg
