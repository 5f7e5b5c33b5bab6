#pragma once
// mg-live's JACK client: opening it (never starting a server), the plug-in's
// ports, the callbacks into the LiveProcessor, and the connections.
#include <jack/jack.h>

#include <atomic>
#include <string>
#include <vector>

namespace mg::live {

class LiveProcessor;

class JackSession {
public:
    // Throws host::Failure with one line when no server answers.
    explicit JackSession(const std::string& clientName);
    ~JackSession();
    JackSession(const JackSession&) = delete;
    JackSession& operator=(const JackSession&) = delete;

    double SampleRate() const;
    int BufferSize() const;
    std::string ClientName() const;

    // Registers in_1.. and out_1.. and the callbacks; `processor` must
    // outlive the session's activity. Then activates the client.
    // `shutdownFd` gets one 8-byte write when the server goes away;
    // `settingsFd` one when its sample rate or period changes, with the
    // processor held silent until the main thread reconfigures it.
    void Activate(LiveProcessor& processor, int shutdownFd, int settingsFd);
    // Stops the callbacks; nothing when the server went away already.
    void Deactivate();

    bool ServerGone() const { return serverGone_.load(); }

    // The default connections, or the ports the user named (in order).
    // Throws host::Failure for a named port that cannot be connected.
    void Connect(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs);

private:
    static int OnProcess(jack_nframes_t frames, void* self) noexcept;
    static int OnBufferSize(jack_nframes_t frames, void* self) noexcept;
    static int OnSampleRate(jack_nframes_t rate, void* self) noexcept;
    static int OnSettings(void* self) noexcept;
    static void OnShutdown(jack_status_t code, const char* reason, void* self) noexcept;

    void ConnectInputs(const std::vector<std::string>& sources);
    void ConnectOutputs(const std::vector<std::string>& sinks);

    jack_client_t* client_ = nullptr;
    LiveProcessor* processor_ = nullptr;
    std::vector<jack_port_t*> inPorts_;
    std::vector<jack_port_t*> outPorts_;
    std::vector<float*> inBuffers_;
    std::vector<float*> outBuffers_;
    int shutdownFd_ = -1;
    int settingsFd_ = -1;
    bool active_ = false;
    std::atomic<bool> serverGone_{false};
};

} // namespace mg::live
