#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "VstTestHost.h"

using namespace mg::test;

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeHost::Reset();
        fx.Dispatch(vst::effOpen);
    }
    float Get(int index) const { return fx->getParameter(fx.get(), index); }

    LoadedPlugin library{FIXTURE_PATH};
    Instance fx{library};
};

TEST_F(Dispatcher, NamesLabelsAndDisplayTexts)
{
    EXPECT_EQ(fx.Text(vst::effGetParamName, 0), "Gain");
    EXPECT_EQ(fx.Text(vst::effGetParamLabel, 0), "x");
    EXPECT_EQ(fx.Text(vst::effGetParamDisplay, 0), "1.00");
    EXPECT_EQ(fx.Text(vst::effGetParamName, 1), "Invert");
    EXPECT_EQ(fx.Text(vst::effGetParamDisplay, 1), "Off");
    EXPECT_EQ(fx.Text(vst::effGetEffectName), "Fixture Gain");
    EXPECT_EQ(fx.Text(vst::effGetVendorString), "tonewrights");
    EXPECT_EQ(fx.Text(vst::effGetProductString), "Fixtures");

    // An invalid index leaves the host's buffer as it was.
    char untouched[16] = "keep";
    EXPECT_EQ(fx.Dispatch(vst::effGetParamName, 2, 0, untouched), 0);
    EXPECT_EQ(fx.Dispatch(vst::effGetParamDisplay, -1, 0, untouched), 0);
    EXPECT_STREQ(untouched, "keep");

    // Null buffers are refused, never written.
    EXPECT_EQ(fx.Dispatch(vst::effGetEffectName), 0);
    EXPECT_EQ(fx.Dispatch(vst::effGetVendorString), 0);
    EXPECT_EQ(fx.Dispatch(vst::effGetProductString), 0);
    EXPECT_EQ(fx.Dispatch(vst::effGetParamName, 0), 0);
    EXPECT_EQ(fx.Dispatch(vst::effGetProgramNameIndexed, 0), 0);
    EXPECT_EQ(fx.Dispatch(vst::effCanDo), 0);
}

TEST_F(Dispatcher, TextsStayWithinTheInterfaceLimits)
{
    // Parameter texts: 8 bytes with the terminator; program names: 24.
    char param[9];
    std::memset(param, '#', sizeof param);
    fx->setParameter(fx.get(), 0, 0.123456f);
    fx.Dispatch(vst::effGetParamDisplay, 0, 0, param);
    EXPECT_EQ(param[8], '#');
    EXPECT_EQ(std::strlen(param), 4u);

    const std::string longName(300, 'n'); // a host name longer than any slot
    fx.Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>(longName.c_str()));
    char program[25];
    std::memset(program, '#', sizeof program);
    fx.Dispatch(vst::effGetProgramName, 0, 0, program);
    EXPECT_EQ(program[24], '#');
    EXPECT_EQ(std::string(program), std::string(23, 'n'));
}

TEST_F(Dispatcher, ProgramsSwitchLoadAndRemember)
{
    EXPECT_EQ(fx.Dispatch(vst::effGetProgram), 0);
    EXPECT_EQ(fx.Text(vst::effGetProgramNameIndexed, 0), "Half");
    EXPECT_EQ(fx.Text(vst::effGetProgramNameIndexed, 1), "Unity");
    char name[24] = "stale";
    EXPECT_EQ(fx.Dispatch(vst::effGetProgramNameIndexed, 3, 0, name), 0);
    EXPECT_STREQ(name, "") << "an index past the list gives an empty name";

    // A fresh instance runs with the defaults although program 0 is current.
    EXPECT_FLOAT_EQ(Get(0), 0.5f);
    // Switching programs first must not overwrite program 0 with those defaults.
    fx.Dispatch(vst::effSetProgram, 0, 1);
    fx.Dispatch(vst::effSetProgram, 0, 0);
    EXPECT_FLOAT_EQ(Get(0), 0.25f) << "program 0 keeps its own gain of 0.5";

    // From then on, edits are remembered in the program when leaving it.
    fx->setParameter(fx.get(), 0, 1.0f);
    fx.Dispatch(vst::effSetProgram, 0, 2);
    EXPECT_FLOAT_EQ(Get(0), 0.5f);
    fx.Dispatch(vst::effSetProgram, 0, 0);
    EXPECT_FLOAT_EQ(Get(0), 1.0f);
    EXPECT_EQ(fx.Dispatch(vst::effGetProgram), 0);

    fx.Dispatch(vst::effSetProgram, 0, 99); // refused
    fx.Dispatch(vst::effSetProgram, 0, vst::intptr(1) << 40);
    EXPECT_EQ(fx.Dispatch(vst::effGetProgram), 0);

    char renamed[] = "Mine";
    fx.Dispatch(vst::effSetProgramName, 0, 0, renamed);
    EXPECT_EQ(fx.Text(vst::effGetProgramName), "Mine");
}

TEST_F(Dispatcher, ParameterCallbacks)
{
    fx->setParameter(fx.get(), 0, 0.75f);
    EXPECT_FLOAT_EQ(Get(0), 0.75f);
    EXPECT_EQ(fx.Text(vst::effGetParamDisplay, 0), "1.50");
    EXPECT_EQ(Get(2), 0.0f);
    EXPECT_EQ(Get(-1), 0.0f);
    fx->setParameter(fx.get(), -1, 0.3f);
    fx->setParameter(fx.get(), 2, 0.3f);

    fx->setParameter(fx.get(), 0, std::numeric_limits<float>::quiet_NaN());
    fx->setParameter(fx.get(), 0, std::numeric_limits<float>::infinity());
    EXPECT_FLOAT_EQ(Get(0), 0.75f) << "values that are no number are ignored";
    fx->setParameter(fx.get(), 0, -3.0f);
    EXPECT_EQ(fx.Text(vst::effGetParamDisplay, 0), "0") << "kept inside the range";

    fx->setParameter(fx.get(), 1, 0.6f);
    EXPECT_EQ(fx.Text(vst::effGetParamDisplay, 1), "On");
    EXPECT_EQ(FakeHost::Count(vst::audioMasterAutomate), 0) << "host values are not echoed back";
}

TEST_F(Dispatcher, FixedAnswers)
{
    EXPECT_EQ(fx.Dispatch(vst::effGetVstVersion), 2400);
    EXPECT_EQ(fx.Dispatch(vst::effGetPlugCategory), 1);
    EXPECT_EQ(fx.Dispatch(vst::effIdentify), 0x4E764566);
    EXPECT_EQ(fx.Dispatch(vst::effCanBeAutomated, 0), 1);
    for (vst::int32 op : std::initializer_list<vst::int32>{vst::effGetVendorVersion, vst::effSetBypass, vst::effGetTailSize,
                          vst::effString2Parameter, vst::effGetParameterProperties, vst::effStartProcess,
                          vst::effStopProcess, vst::effSetProcessPrecision, vst::effProcessVarIo, 9, 70, 1000,
                          -5, vst::effEditIdle, vst::effIdle})
        EXPECT_EQ(fx.Dispatch(op, 1, 1, nullptr, 1.0f), 0) << "opcode " << op;

    char yes[] = "receiveVstTimeInfo";
    char midi[] = "receiveVstMidiEvent";
    char other[] = "bypass";
    EXPECT_EQ(fx.Dispatch(vst::effCanDo, 0, 0, yes), 1);
    EXPECT_EQ(fx.Dispatch(vst::effCanDo, 0, 0, midi), 0);
    EXPECT_EQ(fx.Dispatch(vst::effCanDo, 0, 0, other), 0);
}

TEST_F(Dispatcher, EditorRequestsWithoutAnEditor)
{
    vst::ERect* rect = nullptr;
    EXPECT_EQ(fx.Dispatch(vst::effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, nullptr);
    EXPECT_EQ(fx.Dispatch(vst::effEditOpen), 0);
    EXPECT_EQ(fx.Dispatch(vst::effEditClose), 0);
}

TEST_F(Dispatcher, PinsAndSpeakerArrangements)
{
    vst::VstPinProperties pin{};
    EXPECT_EQ(fx.Dispatch(vst::effGetInputProperties, 0, 0, &pin), 1);
    EXPECT_EQ(pin.flags, 3);
    EXPECT_STREQ(pin.label, "Input 1");
    EXPECT_EQ(fx.Dispatch(vst::effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_EQ(pin.flags, 1);
    EXPECT_STREQ(pin.label, "Output 2");
    EXPECT_EQ(fx.Dispatch(vst::effGetInputProperties, 2, 0, &pin), 0);
    EXPECT_EQ(fx.Dispatch(vst::effGetInputProperties, -1, 0, &pin), 0);
    EXPECT_EQ(fx.Dispatch(vst::effGetOutputProperties, 0), 0);

    vst::VstSpeakerArrangement* in = nullptr;
    vst::VstSpeakerArrangement* out = nullptr;
    EXPECT_EQ(fx.Dispatch(vst::effGetSpeakerArrangement, 0, reinterpret_cast<vst::intptr>(&in), &out), 1);
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(in->numChannels, 2);
    EXPECT_EQ(out->numChannels, 2);
    EXPECT_EQ(in->type, 0);
    EXPECT_EQ(fx.Dispatch(vst::effGetSpeakerArrangement), 1);

    vst::VstSpeakerArrangement mono{};
    mono.numChannels = 1;
    EXPECT_EQ(fx.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<vst::intptr>(&mono), nullptr), 1);
    EXPECT_EQ(in->numChannels, 2) << "what we report does not change";
}

TEST_F(Dispatcher, EventsGoBackToTheHost)
{
    vst::VstMidiEvent note{};
    note.type = vst::kVstMidiType;
    note.byteSize = sizeof note;
    note.deltaFrames = 12;
    note.midiData[0] = char(0x90);
    note.midiData[1] = 60;
    note.midiData[2] = 100;
    vst::VstEvent other{};
    other.type = vst::kVstSysExType;
    struct {
        vst::int32 numEvents;
        vst::intptr reserved;
        vst::VstEvent* events[3];
    } list{3, 0, {reinterpret_cast<vst::VstEvent*>(&note), nullptr, &other}};
    EXPECT_EQ(fx.Dispatch(vst::effProcessEvents, 0, 0, &list), 1);
    ASSERT_EQ(FakeHost::midiSent.size(), 2u);
    EXPECT_EQ(FakeHost::midiSent[0].deltaFrames, 12);
    EXPECT_EQ(FakeHost::midiSent[0].byteSize, 32);
    EXPECT_EQ(static_cast<unsigned char>(FakeHost::midiSent[0].midiData[0]), 0x90u);
    EXPECT_EQ(FakeHost::midiSent[0].midiData[2], 100);
    EXPECT_EQ(FakeHost::midiSent[1].type, vst::kVstSysExType);
    EXPECT_EQ(fx.Dispatch(vst::effProcessEvents), 0);

    vst::MidiKeyName key{};
    key.thisKeyNumber = 60;
    std::strcpy(key.keyName, "old");
    EXPECT_EQ(fx.Dispatch(vst::effGetMidiKeyName, 0, 0, &key), 0);
    EXPECT_STREQ(key.keyName, "");
}

TEST_F(Dispatcher, VendorExtensionFormatsWithoutChangingAnything)
{
    char text[16] = {};
    EXPECT_EQ(fx.Dispatch(vst::effVendorSpecific, 7, 0, text, 0.25f), 0xBEEF);
    EXPECT_STREQ(text, "0.50");
    EXPECT_FLOAT_EQ(Get(0), 0.5f);
    EXPECT_EQ(fx.Dispatch(vst::effVendorSpecific, 7, 5, text, 0.25f), 0xBEEF);
    EXPECT_EQ(fx.Dispatch(vst::effVendorSpecific, 7, 0, text, 1e30f), 0xBEEF);
    EXPECT_EQ(fx.Dispatch(vst::effVendorSpecific, 6, 0, text, 0.25f), 0);
    EXPECT_EQ(fx.Dispatch(vst::effVendorSpecific, 7, 0, nullptr, 0.25f), 0);
}
