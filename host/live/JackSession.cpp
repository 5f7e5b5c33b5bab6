#include "JackSession.h"

#include <jack/thread.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "Failure.h"
#include "LiveProcessor.h"
#include "Text.h"

namespace mg::live {
namespace {

using host::Failure;
using host::Quoted;

// libjack reports its troubles in many lines of its own; mg-live says what
// went wrong in one.
void Silent(const char*) {}

// libjack gives its threads 512 KB of stack; plug-ins are written for the
// usual 8 MB, and some take more than 512 KB in a debug build.
constexpr std::size_t kThreadStack = std::size_t{8} << 20;

int CreateThread(pthread_t* thread, const pthread_attr_t* attributes, void* (*function)(void*), void* arg)
{
    auto* settable = const_cast<pthread_attr_t*>(attributes);
    std::size_t stack = 0;
    if (settable && pthread_attr_getstacksize(settable, &stack) == 0 && stack < kThreadStack)
        pthread_attr_setstacksize(settable, kThreadStack);
    return pthread_create(thread, attributes, function, arg);
}

struct PortList {
    const char** ports;
    ~PortList()
    {
        if (ports)
            jack_free(static_cast<void*>(ports));
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const char** p = ports; p && *p; ++p)
            names.emplace_back(*p);
        return names;
    }
};

std::vector<std::string> PhysicalPorts(jack_client_t* client, unsigned long direction)
{
    return PortList{jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | direction)}
        .Names();
}

// Wakes the main thread's poll; an eventfd counts, so nothing is lost.
void Notify(int fd)
{
    const std::uint64_t one = 1;
    if (write(fd, &one, sizeof one) < 0) {
        // Only when the counter is full, which a few notices never make.
    }
}

void Join(jack_client_t* client, const std::string& from, const std::string& to)
{
    const int result = jack_connect(client, from.c_str(), to.c_str());
    if (result != 0 && result != EEXIST)
        throw Failure("cannot connect " + Quoted(from) + " to " + Quoted(to) + " (jack_lsp lists the ports)");
}

} // namespace

JackSession::JackSession(const std::string& clientName)
{
    jack_set_error_function(Silent);
    jack_set_info_function(Silent);
    jack_set_thread_creator(CreateThread);
    jack_status_t status{};
    client_ = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
    if (!client_) {
        if (status & JackServerFailed)
            throw Failure("no JACK server is running (start one with jackd, or use PipeWire's JACK)");
        if (status & JackInvalidOption || status & JackNameNotUnique)
            throw Failure("the JACK server refused the client name " + Quoted(clientName));
        char bits[16];
        std::snprintf(bits, sizeof bits, "0x%x", static_cast<unsigned>(status));
        throw Failure(std::string("the JACK server refused a new client (status ") + bits + ")");
    }
}

JackSession::~JackSession()
{
    Deactivate();
    jack_client_close(client_);
}

double JackSession::SampleRate() const
{
    return static_cast<double>(jack_get_sample_rate(client_));
}

int JackSession::BufferSize() const
{
    return static_cast<int>(jack_get_buffer_size(client_));
}

std::string JackSession::ClientName() const
{
    return jack_get_client_name(client_);
}

void JackSession::Activate(LiveProcessor& processor, int shutdownFd, int settingsFd)
{
    processor_ = &processor;
    shutdownFd_ = shutdownFd;
    settingsFd_ = settingsFd;
    auto reg = [this](const char* prefix, int index, unsigned long flags) {
        const std::string name = prefix + std::to_string(index + 1);
        jack_port_t* port = jack_port_register(client_, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, flags, 0);
        if (!port)
            throw Failure("the JACK server refused the port " + Quoted(name));
        return port;
    };
    for (int i = 0; i < processor.Inputs(); ++i)
        inPorts_.push_back(reg("in_", i, JackPortIsInput));
    for (int i = 0; i < processor.Outputs(); ++i)
        outPorts_.push_back(reg("out_", i, JackPortIsOutput));
    inBuffers_.resize(inPorts_.size());
    outBuffers_.resize(outPorts_.size());
    jack_set_process_callback(client_, OnProcess, this);
    jack_set_buffer_size_callback(client_, OnBufferSize, this);
    jack_set_sample_rate_callback(client_, OnSampleRate, this);
    jack_on_info_shutdown(client_, OnShutdown, this);
    if (jack_activate(client_) != 0)
        throw Failure("the JACK server did not activate the client");
    active_ = true;
}

void JackSession::Deactivate()
{
    if (active_ && !serverGone_.load())
        jack_deactivate(client_);
    active_ = false;
}

int JackSession::OnProcess(jack_nframes_t frames, void* self) noexcept
{
    auto& session = *static_cast<JackSession*>(self);
    for (std::size_t i = 0; i < session.inPorts_.size(); ++i)
        session.inBuffers_[i] = static_cast<float*>(jack_port_get_buffer(session.inPorts_[i], frames));
    for (std::size_t i = 0; i < session.outPorts_.size(); ++i)
        session.outBuffers_[i] = static_cast<float*>(jack_port_get_buffer(session.outPorts_[i], frames));
    session.processor_->Process(session.inBuffers_.data(), session.outBuffers_.data(), static_cast<int>(frames));
    return 0;
}

// JACK's notification thread: the new values are read again by the main
// thread, which alone talks to the plug-in.
int JackSession::OnBufferSize(jack_nframes_t, void* self) noexcept
{
    return OnSettings(self);
}

int JackSession::OnSampleRate(jack_nframes_t, void* self) noexcept
{
    return OnSettings(self);
}

int JackSession::OnSettings(void* self) noexcept
{
    auto& session = *static_cast<JackSession*>(self);
    session.processor_->Hold();
    Notify(session.settingsFd_);
    return 0;
}

void JackSession::OnShutdown(jack_status_t, const char*, void* self) noexcept
{
    auto& session = *static_cast<JackSession*>(self);
    session.serverGone_.store(true);
    Notify(session.shutdownFd_); // the main loop also notices at its next wake-up
}

void JackSession::Connect(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs)
{
    ConnectInputs(inputs);
    ConnectOutputs(outputs);
}

void JackSession::ConnectInputs(const std::vector<std::string>& sources)
{
    if (sources.size() > inPorts_.size())
        throw Failure("--in given " + std::to_string(sources.size()) + " times; the plug-in has " +
                      std::to_string(inPorts_.size()) + " inputs");
    if (!sources.empty()) {
        for (std::size_t i = 0; i < sources.size(); ++i)
            Join(client_, sources[i], jack_port_name(inPorts_[i]));
        return;
    }
    if (inPorts_.empty())
        return;
    const auto capture = PhysicalPorts(client_, JackPortIsOutput);
    if (capture.empty()) {
        std::fprintf(stderr, "mg-live: note: no physical capture port; in_1 stays unconnected\n");
        return;
    }
    Join(client_, capture[0], jack_port_name(inPorts_[0]));
}

void JackSession::ConnectOutputs(const std::vector<std::string>& sinks)
{
    if (sinks.size() > outPorts_.size())
        throw Failure("--out given " + std::to_string(sinks.size()) + " times; the plug-in has " +
                      std::to_string(outPorts_.size()) + " outputs");
    if (!sinks.empty()) {
        for (std::size_t i = 0; i < sinks.size(); ++i)
            Join(client_, jack_port_name(outPorts_[i]), sinks[i]);
        return;
    }
    const auto playback = PhysicalPorts(client_, JackPortIsInput);
    if (playback.empty()) {
        std::fprintf(stderr, "mg-live: note: no physical playback port; the outputs stay unconnected\n");
        return;
    }
    // A mono plug-in still reaches both speakers.
    for (std::size_t i = 0; i < 2 && i < playback.size(); ++i)
        Join(client_, jack_port_name(outPorts_[std::min(i, outPorts_.size() - 1)]), playback[i]);
}

} // namespace mg::live
