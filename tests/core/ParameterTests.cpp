#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/IParameter.h"

using mg::IParameter;

namespace {

std::string Format(const IParameter& p, double v, bool normalized)
{
    char text[32];
    p.FormatForHost(v, normalized, text, sizeof text);
    return text;
}

IParameter OnOff()
{
    IParameter p;
    p.InitChoice("Effect", 1, 2);
    p.AddValueText(0, "Off");
    p.AddValueText(1, "On");
    return p;
}

} // namespace

TEST(Parameter, ContinuousInitialisation)
{
    IParameter p;
    p.InitContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
    EXPECT_EQ(p.kind(), IParameter::kContinuous);
    EXPECT_EQ(p.value(), 0.5);
    EXPECT_EQ(p.precision(), 3);
    EXPECT_STREQ(p.name(), "Level");

    IParameter degenerate;
    degenerate.InitContinuous("x", 0.0, 0.0, 0.0, 1.0, "");
    EXPECT_EQ(degenerate.maximum(), 1.0);

    IParameter odd; // a step with no short decimal form stops at six places
    odd.InitContinuous("x", 0.0, 0.0, 1.0, 1.0 / 3.0, "");
    EXPECT_EQ(odd.precision(), 6);

    IParameter unclamped; // the default is kept as given
    unclamped.InitContinuous("x", 7.0, 0.0, 1.0, 0.1, "dB");
    EXPECT_EQ(unclamped.value(), 7.0);
    EXPECT_STREQ(unclamped.label(), "dB");
}

TEST(Parameter, ChoiceInitialisationAndRounding)
{
    IParameter p = OnOff();
    EXPECT_EQ(p.kind(), IParameter::kChoice);
    EXPECT_EQ(p.minimum(), 0.0);
    EXPECT_EQ(p.maximum(), 1.0);
    EXPECT_EQ(p.step(), 1.0);
    EXPECT_EQ(p.precision(), 0);

    p.SetFromNormalized(0.49);
    EXPECT_EQ(p.value(), 0.0);
    p.SetFromNormalized(0.5);
    EXPECT_EQ(p.value(), 1.0);

    IParameter single;
    single.InitChoice("x", 0, 1);
    EXPECT_EQ(single.maximum(), 1.0);

    IParameter five; // rounding counts multiples of the step from 0
    five.InitChoice("x", 0, 5);
    five.SetFromNormalized(0.3); // 1.2 -> 1
    EXPECT_EQ(five.value(), 1.0);
    five.SetFromNormalized(0.375); // 1.5 rounds half up -> 2
    EXPECT_EQ(five.value(), 2.0);
}

TEST(Parameter, NormalisedConversions)
{
    IParameter p;
    p.InitContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
    p.SetFromNormalized(0.12345); // continuous values are not rounded to the step
    EXPECT_EQ(p.value(), 0.12345);
    p.SetFromNormalized(1.7);
    EXPECT_EQ(p.value(), 1.0);
    p.SetFromNormalized(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(p.value(), 1.0) << "a NaN never becomes the value";

    EXPECT_EQ(p.NormalizedOf(2.0), 1.0);
    EXPECT_EQ(p.NormalizedOf(-2.0), 0.0);

    IParameter wide;
    wide.InitContinuous("Gain", 0.0, -12.0, 12.0, 0.5, "dB");
    wide.SetFromNormalized(0.75);
    EXPECT_EQ(wide.value(), 6.0);
    EXPECT_EQ(wide.Normalized(), 0.75);
}

TEST(Parameter, DisplayTexts)
{
    IParameter level;
    level.InitContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
    EXPECT_EQ(Format(level, 0.5, false), "0.500");
    EXPECT_EQ(Format(level, 0.0, false), "0");
    EXPECT_EQ(Format(level, -0.0, false), "0");
    EXPECT_EQ(Format(level, 0.25, true), "0.250");

    IParameter whole;
    whole.InitContinuous("Count", 3.0, 0.0, 10.0, 1.0, "");
    EXPECT_EQ(Format(whole, 3.9, false), "3") << "precision 0 truncates";
    EXPECT_EQ(Format(whole, -3.9, false), "-3");

    IParameter effect = OnOff();
    EXPECT_EQ(Format(effect, 1.0, true), "On");
    EXPECT_EQ(Format(effect, 0.0, false), "Off") << "the value text wins over the zero rule";
    EXPECT_EQ(Format(effect, 5.0, false), "5") << "no text for 5: the number shows";

    // Values from outside (a host's normalised value) can be anything.
    EXPECT_EQ(Format(whole, 1e300, false).substr(0, 3), "214");
    EXPECT_EQ(Format(whole, std::numeric_limits<double>::quiet_NaN(), false), "0");

    char tiny[4];
    level.FormatForHost(0.123, false, tiny, sizeof tiny);
    EXPECT_STREQ(tiny, "0.1") << "output is cut to the buffer";
}

TEST(Parameter, ValueTexts)
{
    IParameter p = OnOff();
    p.AddValueText(1, "Engaged"); // a later duplicate never wins
    EXPECT_EQ(p.ValueTextCount(), 3);
    EXPECT_STREQ(p.ValueTextFor(1), "On");
    EXPECT_STREQ(p.ValueTextFor(7), "");

    int v = -5;
    EXPECT_FALSE(p.ValueFromText("on", v));
    EXPECT_EQ(v, -5);
    EXPECT_TRUE(p.ValueFromText("Engaged", v));
    EXPECT_EQ(v, 1);
    EXPECT_TRUE(p.ValueFromText("Off", v));
    EXPECT_EQ(v, 0);

    IParameter named;
    named.InitContinuous("A name that is far longer than thirty-one characters", 0, 0, 1, 1, "");
    EXPECT_EQ(std::string(named.name()).size(), 31u);
}
