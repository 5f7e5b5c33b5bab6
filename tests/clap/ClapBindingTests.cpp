// The pedal's CLAP plug-in driven through its C interface as a host drives
// it, in the spirit of a validator: the factory and descriptor, calls out of
// order or from the wrong thread, both sample sizes and in-place buffers,
// parameter events at their frames, texts, state through awkward streams,
// and the editor's edits reaching the host.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "ClapTestHost.h"
#include "CountingNew.h"
#include "MarrowGrit.h"
#include "MarrowGritHQ.h"
#include "PedalClap.h"

namespace {

using namespace mg::test;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::uint32_t kFrames = 512;

mg::MarrowGrit& Pedal(const ClapInstance& instance)
{
    return *static_cast<mg::MarrowGrit*>(static_cast<mg::IClapPlugin*>(instance->plugin_data));
}

std::vector<float> Tone(std::size_t frames, double phase)
{
    std::vector<float> out(frames);
    for (std::size_t f = 0; f < frames; ++f) out[f] = 0.5f * static_cast<float>(std::sin(0.021 * double(f) + phase));
    return out;
}

// Runs one block of the tone through an active, processing instance.
template <class Sample>
std::vector<std::vector<Sample>> Render(ClapInstance& instance, EventList* events = nullptr,
                                        std::uint32_t frames = kFrames)
{
    PortAudio<Sample> in(2, frames);
    PortAudio<Sample> out(2, frames, Sample(7));
    for (int c = 0; c < 2; ++c) {
        const std::vector<float> tone = Tone(frames, c);
        std::copy(tone.begin(), tone.end(), in.channels[c].begin());
    }
    EventList none;
    EventList outEvents;
    const clap::process_t process{-1, frames, nullptr, &in.buffer, &out.buffer, 1, 1,
                                  &(events ? events : &none)->in, &outEvents.out};
    EXPECT_EQ(instance->process(instance.get(), &process), clap::kProcessContinue);
    // Every output sample written (none left at the marker), a number, and
    // the input untouched.
    for (const auto& channel : out.channels)
        for (Sample v : channel) EXPECT_TRUE(std::isfinite(v) && v != Sample(7));
    for (int c = 0; c < 2; ++c) EXPECT_TRUE(std::equal(in.channels[c].begin(), in.channels[c].end(), Tone(frames, c).begin()));
    return out.channels;
}

void Start(ClapInstance& instance, double rate = 48000.0)
{
    ASSERT_TRUE(instance->activate(instance.get(), rate, 1, 4096));
    ASSERT_TRUE(instance->start_processing(instance.get()));
}

TEST(ClapModule, FactoryAndDescriptor)
{
    EXPECT_GE(clap_entry.clap_version.major, 1u);
    ASSERT_TRUE(clap_entry.init("/nowhere/MarrowGrit.clap"));
    ASSERT_TRUE(clap_entry.init("/nowhere/MarrowGrit.clap")); // hosts may init twice
    EXPECT_EQ(clap_entry.get_factory("clap.plugin-factory.x"), nullptr);
    EXPECT_EQ(clap_entry.get_factory(nullptr), nullptr);
    const auto* factory = static_cast<const clap::plugin_factory_t*>(clap_entry.get_factory(clap::kPluginFactoryId));
    ASSERT_NE(factory, nullptr);
    ASSERT_EQ(factory->get_plugin_count(factory), 2u);
    EXPECT_EQ(factory->get_plugin_descriptor(factory, 2), nullptr);
    const clap::plugin_descriptor_t* d = factory->get_plugin_descriptor(factory, 0);
    EXPECT_STREQ(d->id, mg::kPedalClapId);
    EXPECT_STREQ(d->version, MG_PROJECT_VERSION);
    std::vector<std::string> features;
    for (const char* const* f = d->features; *f; ++f) features.emplace_back(*f);
    EXPECT_EQ(features, (std::vector<std::string>{"audio-effect", "distortion", "stereo", "mono"}));

    ClapTestHost host;
    const std::string garbage = std::string(mg::kPedalClapId) + "x";
    EXPECT_EQ(factory->create_plugin(factory, &host.host, garbage.c_str()), nullptr);
    EXPECT_EQ(factory->create_plugin(factory, nullptr, d->id), nullptr);
    ClapInstance instance(host);
    ASSERT_NE(instance.get(), nullptr);
    EXPECT_EQ(instance->desc, d);
    EXPECT_STREQ(d->name, Pedal(instance).EffectName());
    EXPECT_STREQ(d->vendor, Pedal(instance).MakerName());
    EXPECT_EQ(instance->get_extension(instance.get(), "clap.note-ports"), nullptr);

    // The HQ twin, the second class of the module: its own name and its latency.
    const clap::plugin_descriptor_t* hq = factory->get_plugin_descriptor(factory, 1);
    EXPECT_STREQ(hq->id, mg::kPedalHqClapId);
    const clap::plugin_t* twin = factory->create_plugin(factory, &host.host, hq->id);
    ASSERT_TRUE(twin && twin->init(twin));
    EXPECT_STREQ(hq->name, static_cast<mg::IClapPlugin*>(twin->plugin_data)->EffectName());
    const auto* latency = static_cast<const clap::plugin_latency_t*>(twin->get_extension(twin, clap::kExtLatency));
    EXPECT_EQ(latency->get(twin), static_cast<std::uint32_t>(mg::kHqLatency));
    twin->destroy(twin);
    EXPECT_EQ(instance->get_extension(instance.get(), "clap.gui.x"), nullptr);
    clap_entry.deinit();
    clap_entry.deinit();
}

TEST(ClapLifeCycle, CallsOutOfOrderOrFromTheWrongThreadAreRefused)
{
    ClapTestHost host;
    ClapInstance instance(host);
    const auto* p = instance.get();
    PortAudio<float> in(2, 64), out(2, 64);
    const clap::process_t process{0, 64, nullptr, &in.buffer, &out.buffer, 1, 1, nullptr, nullptr};
    EXPECT_EQ(p->process(p, &process), clap::kProcessError);
    EXPECT_FALSE(p->start_processing(p));
    for (double rate : {0.0, -48000.0, kNaN, std::numeric_limits<double>::infinity(), 1e12, 10.0})
        EXPECT_FALSE(p->activate(p, rate, 1, 512)) << rate;
    EXPECT_FALSE(p->activate(p, 48000.0, 1, 0));
    EXPECT_FALSE(p->activate(p, 48000.0, 600, 512));
    host.audioThread = true;
    EXPECT_FALSE(p->activate(p, 48000.0, 1, 512));
    host.audioThread = false;
    ASSERT_TRUE(p->activate(p, 48000.0, 1, 512));
    EXPECT_FALSE(p->activate(p, 48000.0, 1, 512));
    // A null process record, then no stop before deactivating, as some hosts do.
    EXPECT_EQ(p->process(p, nullptr), clap::kProcessError);
    ASSERT_TRUE(p->start_processing(p));
    EXPECT_FALSE(p->start_processing(p));
    p->deactivate(p);
    ASSERT_TRUE(p->activate(p, 96000.0, 1, 512));
    EXPECT_TRUE(p->start_processing(p));
    EXPECT_FALSE(host.log.empty());
}

TEST(ClapAudio, PortsAndConfigurations)
{
    ClapTestHost host;
    ClapInstance instance(host);
    const auto* p = instance.get();
    const auto* ports = static_cast<const clap::plugin_audio_ports_t*>(p->get_extension(p, clap::kExtAudioPorts));
    const auto* configs =
        static_cast<const clap::plugin_audio_ports_config_t*>(p->get_extension(p, clap::kExtAudioPortsConfig));
    ASSERT_TRUE(ports && configs);
    clap::audio_port_info_t info{};
    ASSERT_EQ(ports->count(p, true), 1u);
    ASSERT_TRUE(ports->get(p, 0, false, &info));
    EXPECT_FALSE(ports->get(p, 1, false, &info));
    EXPECT_EQ(info.channel_count, 2u);
    EXPECT_TRUE(info.flags & clap::kAudioPortIsMain);
    EXPECT_EQ(info.in_place_pair, 0u);
    ASSERT_EQ(configs->count(p), 2u);
    clap::audio_ports_config_t config{};
    ASSERT_TRUE(configs->get(p, 0, &config));
    EXPECT_STREQ(config.name, "Mono");
    EXPECT_FALSE(configs->select(p, 2));
    ASSERT_TRUE(configs->select(p, config.id));
    ASSERT_TRUE(ports->get(p, 0, true, &info));
    EXPECT_EQ(info.channel_count, 1u);
    EXPECT_STREQ(info.port_type, "mono");

    // Mono plays through one channel each way, in place.
    Start(instance);
    EXPECT_FALSE(configs->select(p, 1));
    std::vector<float> audio = Tone(kFrames, 0.0);
    const std::vector<float> dry = audio;
    float* channel = audio.data();
    clap::audio_buffer_t buffer{&channel, nullptr, 1, 0, ~0ull};
    const clap::process_t process{0, kFrames, nullptr, &buffer, &buffer, 1, 1, nullptr, nullptr};
    EXPECT_EQ(p->process(p, &process), clap::kProcessContinue);
    EXPECT_EQ(buffer.constant_mask, 0u);
    EXPECT_NE(audio, dry);
    for (float v : audio) EXPECT_TRUE(std::isfinite(v));
}

TEST(ClapAudio, BothSampleSizesInAndOutOfPlaceAgree)
{
    ClapTestHost host;
    ClapInstance a(host), b(host), c(host);
    for (ClapInstance* i : {&a, &b, &c}) Start(*i);
    const auto narrow = Render<float>(a);
    const auto wide = Render<double>(b);
    for (int ch = 0; ch < 2; ++ch)
        for (std::uint32_t f = 0; f < kFrames; ++f) ASSERT_EQ(narrow[ch][f], static_cast<float>(wide[ch][f]));

    // The same buffers in and out, each size.
    for (bool doubles : {false, true}) {
        ClapInstance fresh(host);
        Start(fresh);
        PortAudio<float> f(2, kFrames);
        PortAudio<double> d(2, kFrames);
        for (int ch = 0; ch < 2; ++ch) {
            const std::vector<float> tone = Tone(kFrames, ch);
            std::copy(tone.begin(), tone.end(), f.channels[ch].begin());
            std::copy(tone.begin(), tone.end(), d.channels[ch].begin());
        }
        clap::audio_buffer_t& buffer = doubles ? d.buffer : f.buffer;
        const clap::process_t process{0, kFrames, nullptr, &buffer, &buffer, 1, 1, nullptr, nullptr};
        ASSERT_EQ(fresh->process(fresh.get(), &process), clap::kProcessContinue);
        for (int ch = 0; ch < 2; ++ch)
            for (std::uint32_t i = 0; i < kFrames; ++i)
                ASSERT_EQ(doubles ? static_cast<float>(d.channels[ch][i]) : f.channels[ch][i], narrow[ch][i]);
    }

    // An empty block with the same buffer both ways touches nothing.
    PortAudio<float> same(2, 4, 0.25f);
    const clap::process_t empty{0, 0, nullptr, &same.buffer, &same.buffer, 1, 1, nullptr, nullptr};
    EXPECT_EQ(c->process(c.get(), &empty), clap::kProcessContinue);
    EXPECT_EQ(same.channels[0][0], 0.25f);
}

TEST(ClapEvents, ParameterEventsLandOnTheirFrameAndBadOnesAreIgnored)
{
    ClapTestHost host;
    ClapInstance plain(host), evented(host), split(host), hostile(host);
    for (ClapInstance* i : {&plain, &evented, &split, &hostile}) Start(*i);
    const auto reference = Render<float>(plain);

    EventList events;
    events.Add(ParamEvent(100, mg::MarrowGrit::kEffect, 0.0));
    const auto moved = Render<float>(evented, &events);
    for (std::uint32_t f = 0; f < 100; ++f) ASSERT_EQ(moved[0][f], reference[0][f]) << f;
    // From frame 100 the pedal is bypassed: both inputs summed.
    const std::vector<float> in0 = Tone(kFrames, 0), in1 = Tone(kFrames, 1);
    for (std::uint32_t f = 100; f < kFrames; ++f) ASSERT_FLOAT_EQ(moved[0][f], in0[f] + in1[f]) << f;
    EXPECT_EQ(evented.Value(mg::MarrowGrit::kEffect), 0.0);

    EventList bad;
    auto wrongSize = ParamEvent(10, 0, 0.0);
    wrongSize.header.size = sizeof(clap::event_header_t);
    auto wrongSpace = ParamEvent(20, 0, 0.0);
    wrongSpace.header.space_id = 7;
    auto wrongType = ParamEvent(30, 0, 0.0);
    wrongType.header.type = clap::kEventParamMod;
    bad.Add(wrongSize);
    bad.Add(wrongSpace);
    bad.Add(wrongType);
    bad.Add(ParamEvent(40, 99, 0.0));
    bad.Add(ParamEvent(50, clap::kInvalidId, 0.0));
    bad.Add(ParamEvent(60, 0, kNaN));
    bad.Add(ParamEvent(70, 1, std::numeric_limits<double>::infinity()));
    const auto survived = Render<float>(hostile, &bad);
    EXPECT_EQ(survived, reference);

    // Events at or past the end, and out of order, still apply.
    EventList late;
    late.Add(ParamEvent(kFrames + 5, mg::MarrowGrit::kLevel, 0.25));
    late.Add(ParamEvent(3, mg::MarrowGrit::kAttack, 7.0));
    Render<float>(split, &late);
    EXPECT_EQ(split.Value(mg::MarrowGrit::kLevel), 0.25);
    EXPECT_EQ(split.Value(mg::MarrowGrit::kAttack), 1.0); // clamped into its range
}

TEST(ClapAudio, AnyRateAndBlockSizeGivesNumbers)
{
    ClapTestHost host;
    std::mt19937 random(7);
    for (double rate : {1000.0, 22050.0, 44100.5, 96000.0, 192000.0, 768000.0}) {
        ClapInstance instance(host);
        ASSERT_TRUE(instance->activate(instance.get(), rate, 1, 2048)) << rate;
        ASSERT_TRUE(instance->start_processing(instance.get()));
        for (int i = 0; i < 8; ++i) {
            const auto out = Render<float>(instance, nullptr, 1 + random() % 2048);
            for (const auto& channel : out)
                for (float v : channel) ASSERT_TRUE(v == 0.0f || std::fabs(v) >= 1.17549435e-38f) << rate;
        }
        instance->reset(instance.get());
        Render<double>(instance, nullptr, 17);
    }
}

TEST(ClapEvents, ProcessingAllocatesNothing)
{
    ClapTestHost host;
    ClapInstance instance(host);
    Start(instance);
    EventList events;
    for (std::uint32_t t = 0; t < kFrames; t += 10) events.Add(ParamEvent(t, t / 10 % 4, (t % 3) / 2.0));
    PortAudio<float> in(2, kFrames), out(2, kFrames);
    EventList outEvents;
    const clap::process_t process{0, kFrames, nullptr, &in.buffer, &out.buffer, 1, 1, &events.in, &outEvents.out};
    CountAllocations count;
    instance->process(instance.get(), &process);
    EXPECT_EQ(count.Count(), 0);
}

TEST(ClapParams, InfoValuesTextsAndFlush)
{
    ClapTestHost host;
    ClapInstance instance(host);
    const auto* p = instance.get();
    ASSERT_EQ(instance.params->count(p), 4u);
    for (std::uint32_t i = 0; i < 4; ++i) {
        clap::param_info_t info{};
        ASSERT_TRUE(instance.params->get_info(p, i, &info));
        EXPECT_EQ(info.id, i);
        EXPECT_TRUE(info.flags & clap::kParamIsAutomatable);
        EXPECT_EQ(bool(info.flags & clap::kParamIsStepped), i >= mg::MarrowGrit::kEffect);
        EXPECT_EQ(instance.Value(i), info.default_value);
        // Text and back gives the same text, for the ends and the middle.
        for (double v : {info.min_value, (info.min_value + info.max_value) / 2, info.max_value}) {
            char text[256], again[256];
            double parsed = kNaN;
            ASSERT_TRUE(instance.params->value_to_text(p, i, v, text, sizeof text));
            ASSERT_TRUE(instance.params->text_to_value(p, i, text, &parsed)) << text;
            ASSERT_TRUE(instance.params->value_to_text(p, i, parsed, again, sizeof again));
            EXPECT_STREQ(text, again);
        }
    }
    EXPECT_FALSE(instance.params->get_info(p, 4, nullptr));
    double v = 0;
    EXPECT_TRUE(instance.params->text_to_value(p, mg::MarrowGrit::kEffect, "Off", &v));
    EXPECT_FALSE(instance.params->text_to_value(p, mg::MarrowGrit::kLevel, "loud", &v));
    EXPECT_FALSE(instance.params->text_to_value(p, mg::MarrowGrit::kLevel, "0.5 dB", &v));
    EXPECT_FALSE(instance.params->get_value(p, 4, &v));

    // Flush applies what process would, with or without a place for output.
    EventList events;
    events.Add(ParamEvent(0, mg::MarrowGrit::kCabinet, 0.0));
    instance.params->flush(p, &events.in, nullptr);
    EXPECT_EQ(instance.Value(mg::MarrowGrit::kCabinet), 0.0);
    EXPECT_FALSE(Pedal(instance).CabinetOn());
}

TEST(ClapParams, EditorEditsReachTheHostAsGestures)
{
    ClapTestHost host;
    ClapInstance instance(host);
    mg::MarrowGrit& pedal = Pedal(instance);
    pedal.BeginHostEdit(mg::MarrowGrit::kAttack);
    pedal.SetParameterFromGUI(mg::MarrowGrit::kAttack, 0.75);
    pedal.EndHostEdit(mg::MarrowGrit::kAttack);
    EXPECT_EQ(host.flushRequests, 1); // once for the batch, while not processing
    EventList none, out;
    instance.params->flush(instance.get(), &none.in, &out.out);
    ASSERT_EQ(out.events.size(), 3u);
    EXPECT_EQ(out.At(0).type, clap::kEventParamGestureBegin);
    EXPECT_EQ(out.At(2).type, clap::kEventParamGestureEnd);
    const auto& value = reinterpret_cast<const clap::event_param_value_t&>(out.At(1));
    EXPECT_EQ(value.header.type, clap::kEventParamValue);
    EXPECT_EQ(value.param_id, static_cast<clap::id_t>(mg::MarrowGrit::kAttack));
    EXPECT_DOUBLE_EQ(value.value, 0.75);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(out.At(i).size, out.events[i].size());

    // While processing, the next block carries them. A value the editor
    // sends outside a gesture (a switch) comes as a gesture of its own, and
    // an end without a begin, or a second begin, goes nowhere.
    Start(instance);
    pedal.EndHostEdit(mg::MarrowGrit::kLevel);
    pedal.SetParameterFromGUI(mg::MarrowGrit::kLevel, 0.25);
    pedal.BeginHostEdit(mg::MarrowGrit::kAttack);
    pedal.BeginHostEdit(mg::MarrowGrit::kAttack);
    PortAudio<float> in(2, 64), audio(2, 64);
    EventList outEvents;
    const clap::process_t process{0, 64, nullptr, &in.buffer, &audio.buffer, 1, 1, &none.in, &outEvents.out};
    instance->process(instance.get(), &process);
    ASSERT_EQ(outEvents.events.size(), 4u);
    EXPECT_EQ(outEvents.At(0).type, clap::kEventParamGestureBegin);
    EXPECT_EQ(outEvents.At(1).type, clap::kEventParamValue);
    EXPECT_EQ(outEvents.At(2).type, clap::kEventParamGestureEnd);
    EXPECT_EQ(outEvents.At(3).type, clap::kEventParamGestureBegin);
}

TEST(ClapGui, FixedEmbeddedEditorAndCallsOutOfOrder)
{
    ClapTestHost host;
    ClapInstance instance(host);
    const auto* p = instance.get();
    const auto* gui = static_cast<const clap::plugin_gui_t*>(p->get_extension(p, clap::kExtGui));
    ASSERT_NE(gui, nullptr);
    const char* api = nullptr;
    bool floating = true;
    ASSERT_TRUE(gui->get_preferred_api(p, &api, &floating));
    EXPECT_FALSE(floating);
    EXPECT_TRUE(gui->is_api_supported(p, api, false));
    EXPECT_FALSE(gui->is_api_supported(p, api, true));
    std::uint32_t w = 0, h = 0;
    EXPECT_FALSE(gui->get_size(p, &w, &h)); // not before create
    EXPECT_FALSE(gui->create(p, "cocoa", false));
    ASSERT_TRUE(gui->create(p, api, false));
    EXPECT_FALSE(gui->create(p, api, false));
    ASSERT_TRUE(gui->get_size(p, &w, &h));
    EXPECT_EQ(w * 1000 + h, 213326u);
    EXPECT_TRUE(gui->set_size(p, w, h));
    EXPECT_FALSE(gui->set_size(p, w + 1, h));
    const clap::window_t none{api, {nullptr}}, foreign{"cocoa", {reinterpret_cast<void*>(1)}};
    EXPECT_FALSE(gui->set_parent(p, &none));
    EXPECT_FALSE(gui->set_parent(p, &foreign));
    gui->destroy(p);
    gui->destroy(p);
    EXPECT_FALSE(gui->get_size(p, &w, &h));
}

TEST(ClapState, SavedBytesAreTheChunkAndLoadSurvivesAwkwardStreams)
{
    ClapTestHost host;
    ClapInstance source(host), target(host);
    const clap::plugin_t* p = source.get();
    EventList events;
    events.Add(ParamEvent(0, mg::MarrowGrit::kLevel, 0.125));
    events.Add(ParamEvent(0, mg::MarrowGrit::kCabinet, 0.0));
    source.params->flush(p, &events.in, nullptr);

    MemoryStream saved;
    saved.step = 3;
    ASSERT_TRUE(source.state->save(p, saved.Out()));
    ASSERT_EQ(saved.bytes.size(), 40u);
    EXPECT_EQ(std::string(saved.bytes.begin(), saved.bytes.begin() + 4), "tffp");
    EXPECT_EQ(saved.bytes[6], 1);
    double level = 0;
    std::memcpy(&level, saved.bytes.data() + 8, 8);
    EXPECT_EQ(level, 0.125);
    MemoryStream failing;
    failing.failAfter = 2;
    failing.step = 3;
    EXPECT_FALSE(source.state->save(p, failing.Out()));

    // Damaged bytes are refused and change nothing.
    const auto refused = [&](MemoryStream stream) {
        const int rescans = host.rescans;
        EXPECT_FALSE(target.state->load(target.get(), stream.In()));
        EXPECT_EQ(target.Value(mg::MarrowGrit::kLevel), 0.5);
        EXPECT_EQ(host.rescans, rescans);
    };
    refused(MemoryStream());
    MemoryStream shortStream(saved.bytes);
    shortStream.bytes.resize(39);
    refused(std::move(shortStream));
    MemoryStream longStream(saved.bytes);
    longStream.bytes.push_back(0);
    refused(std::move(longStream));
    MemoryStream notANumber(saved.bytes);
    std::memcpy(notANumber.bytes.data() + 16, &kNaN, 8);
    refused(std::move(notANumber));
    MemoryStream erring(saved.bytes);
    erring.step = 7;
    erring.failAfter = 3;
    refused(std::move(erring));
    std::mt19937 random(26);
    for (int i = 0; i < 50; ++i) {
        MemoryStream noise;
        noise.bytes.resize(random() % 80);
        for (auto& b : noise.bytes) b = static_cast<std::uint8_t>(random());
        refused(std::move(noise));
    }

    MemoryStream trickle(saved.bytes);
    trickle.step = 1;
    ASSERT_TRUE(target.state->load(target.get(), trickle.In()));
    EXPECT_EQ(target.Value(mg::MarrowGrit::kLevel), 0.125);
    EXPECT_FALSE(Pedal(target).CabinetOn());
    EXPECT_EQ(host.rescans, 1);
    host.audioThread = true;
    MemoryStream again(saved.bytes);
    EXPECT_FALSE(target.state->load(target.get(), again.In()));
}

} // namespace
