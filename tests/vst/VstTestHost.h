#pragma once
// The host side for binding tests: loads a plug-in library by path and
// records what the plug-in asks of its host.
#include <dlfcn.h>

#include <cstring>
#include <string>
#include <vector>

#include "vst/VstAbi.h"

namespace mg::test {

struct HostCall {
    vst::int32 opcode;
    vst::int32 index;
    vst::intptr value;
    float opt;
};

// The host callback is a plain function, so its state is process-wide.
struct FakeHost {
    static inline std::vector<HostCall> calls;
    static inline std::string product = "Test Host";
    static inline vst::intptr vendorVersion = 1000;
    static inline bool terminateProduct = true;
    static inline vst::VstTimeInfo time{};
    static inline bool answerTime = true;
    static inline vst::intptr eventsAnswer = 1;
    static inline std::vector<vst::VstMidiEvent> midiSent;

    static void Reset()
    {
        calls.clear();
        midiSent.clear();
        product = "Test Host";
        vendorVersion = 1000;
        terminateProduct = true;
        answerTime = true;
        eventsAnswer = 1;
        time = vst::VstTimeInfo{};
    }

    static int Count(vst::int32 opcode)
    {
        int n = 0;
        for (const HostCall& c : calls) n += c.opcode == opcode;
        return n;
    }

    static vst::intptr Callback(vst::AEffect*, vst::int32 opcode, vst::int32 index, vst::intptr value,
                                void* ptr, float opt)
    {
        calls.push_back({opcode, index, value, opt});
        switch (opcode) {
        case vst::audioMasterGetProductString:
            if (terminateProduct) {
                std::strncpy(static_cast<char*>(ptr), product.c_str(), 255);
            } else {
                std::memset(ptr, 'x', 256); // no terminator anywhere in the buffer
            }
            return 1;
        case vst::audioMasterGetVendorVersion:
            return vendorVersion;
        case vst::audioMasterGetTime:
            return answerTime ? reinterpret_cast<vst::intptr>(&time) : 0;
        case vst::audioMasterProcessEvents: {
            const auto* events = static_cast<const vst::VstEvents*>(ptr);
            for (int i = 0; i < events->numEvents; ++i)
                midiSent.push_back(*reinterpret_cast<const vst::VstMidiEvent*>(events->events[i]));
            return eventsAnswer;
        }
        case vst::audioMasterVersion:
            return 2400;
        default:
            return 0;
        }
    }
};

class LoadedPlugin {
public:
    explicit LoadedPlugin(const char* path) : handle_(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedPlugin()
    {
        if (handle_) dlclose(handle_);
    }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    vst::EntryProc Entry(const char* name = "VSTPluginMain") const
    {
        return handle_ ? reinterpret_cast<vst::EntryProc>(dlsym(handle_, name)) : nullptr;
    }

private:
    void* handle_;
};

// One instance, created through the entry point and closed on destruction.
class Instance {
public:
    explicit Instance(const LoadedPlugin& library) : effect_(library.Entry()(&FakeHost::Callback)) {}
    ~Instance() { Close(); }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    vst::AEffect* operator->() const { return effect_; }
    vst::AEffect* get() const { return effect_; }

    vst::intptr Dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0, void* ptr = nullptr,
                         float opt = 0.0f) const
    {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }
    std::string Text(vst::int32 opcode, vst::int32 index = 0) const
    {
        char buffer[256];
        std::memset(buffer, 0x7F, sizeof buffer);
        buffer[255] = '\0';
        Dispatch(opcode, index, 0, buffer);
        return buffer;
    }
    void Close()
    {
        if (effect_) Dispatch(vst::effClose);
        effect_ = nullptr;
    }

private:
    vst::AEffect* effect_;
};

} // namespace mg::test
