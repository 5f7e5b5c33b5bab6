#pragma once
// One automatable parameter: its real value and range, the conversion to and
// from the normalised 0..1 value that hosts and controls speak, and its texts.
#include <cstddef>
#include <vector>

namespace mg {

constexpr std::size_t kParamTextSize = 32; // 31 characters and the terminator

class IParameter {
public:
    enum Kind : int { kNotInitialised = 0, kBool = 1, kInt = 2, kChoice = 3, kContinuous = 4 };

    struct ValueText {
        int value = 0;
        char text[kParamTextSize] = {};
    };

    IParameter() = default;

    void InitContinuous(const char* name, double defaultValue, double minimum, double maximum,
                        double step, const char* label);
    void InitChoice(const char* name, int defaultIndex, int stateCount);

    void AddValueText(int value, const char* text);
    int ValueTextCount() const { return static_cast<int>(valueTexts_.size()); }
    const char* ValueTextAt(int i) const;
    // The text of the first entry for `value`, or an empty text.
    const char* ValueTextFor(int value) const;
    // Exact, case-sensitive lookup; `out` is untouched when nothing matches.
    bool ValueFromText(const char* text, int& out) const;

    void SetFromNormalized(double normalized);
    // The value SetFromNormalized would store, without storing it.
    double ValueFromNormalized(double normalized) const;
    double NormalizedOf(double value) const;
    double Normalized() const { return NormalizedOf(value_); }
    // Writes the display text of `value` (real, or normalised when asked) into
    // `out`, cut to `capacity` bytes with its terminator.
    void FormatForHost(double value, bool normalized, char* out, std::size_t capacity) const;

    Kind kind() const { return kind_; }
    bool IsContinuous() const { return kind_ == kContinuous; }
    double value() const { return value_; }
    void set_value(double v) { value_ = v; }
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    double step() const { return step_; }
    double shape() const { return shape_; }
    int precision() const { return precision_; }
    const char* name() const { return name_; }
    const char* label() const { return label_; }

    // The value clamped into [minimum, maximum]; a NaN becomes 0.0 clamped.
    double Clamp(double v) const;

private:
    Kind kind_ = kNotInitialised;
    double value_ = 0.0;
    double minimum_ = 0.0;
    double maximum_ = 1.0;
    double step_ = 1.0;
    double shape_ = 1.0;
    int precision_ = 0;
    char name_[kParamTextSize] = {};
    char label_[kParamTextSize] = {};
    std::vector<ValueText> valueTexts_;
};

} // namespace mg
