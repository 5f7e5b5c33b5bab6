#pragma once
// The objects a VST 3 host hands a plug-in: a state stream in memory, the
// parameter changes of one process call, the component handler that hears
// the editor's edits, the host application, and the editor's frame with
// the run loop a Linux editor asks it for. Owned by the host as members:
// their references are only counted.
#include <cstdint>
#include <functional>
#include <vector>

#include "vst3/Vst3Abi.h"
#include "vst3/Vst3Unknown.h"

namespace mg::host {

class MemoryStream final : public vst3::UnknownObject<vst3::IBStream, vst3::kIBStreamIid, false> {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    vst3::tresult MG_VST3_CALL read(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesRead) override;
    vst3::tresult MG_VST3_CALL write(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesWritten) override;
    vst3::tresult MG_VST3_CALL seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) override;
    vst3::tresult MG_VST3_CALL tell(vst3::int64* pos) override;

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    void Rewind() { pos_ = 0; }
    // At most this many bytes per read, as some hosts' streams hand out.
    void LimitReads(vst3::int32 bytes) { readLimit_ = bytes; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    vst3::int32 readLimit_ = 0;
};

class ParamQueue final : public vst3::UnknownObject<vst3::IParamValueQueue, vst3::kIParamValueQueueIid, false> {
public:
    static constexpr int kCapacity = 64;

    vst3::ParamID MG_VST3_CALL getParameterId() override { return id_; }
    vst3::int32 MG_VST3_CALL getPointCount() override { return count_; }
    vst3::tresult MG_VST3_CALL getPoint(vst3::int32 index, vst3::int32& sampleOffset, vst3::ParamValue& value) override;
    vst3::tresult MG_VST3_CALL addPoint(vst3::int32 sampleOffset, vst3::ParamValue value, vst3::int32& index) override;

    void Reset(vst3::ParamID id)
    {
        id_ = id;
        count_ = 0;
    }
    // The value of the last point, or `fallback` with none.
    double Last(double fallback) const { return count_ > 0 ? points_[count_ - 1].value : fallback; }

private:
    struct Point {
        vst3::int32 offset;
        double value;
    };
    vst3::ParamID id_ = 0;
    int count_ = 0;
    Point points_[kCapacity] = {};
};

// Fixed room, so that filling it for a process call allocates nothing.
class ParamChanges final : public vst3::UnknownObject<vst3::IParameterChanges, vst3::kIParameterChangesIid, false> {
public:
    static constexpr int kCapacity = 64;

    vst3::int32 MG_VST3_CALL getParameterCount() override { return count_; }
    vst3::IParamValueQueue* MG_VST3_CALL getParameterData(vst3::int32 index) override;
    vst3::IParamValueQueue* MG_VST3_CALL addParameterData(const vst3::ParamID& id, vst3::int32& index) override;

    // Adds a point to the parameter's queue (made on first use); false when full.
    bool Add(vst3::ParamID id, vst3::int32 offset, double value);
    void Clear() { count_ = 0; }
    ParamQueue* Find(vst3::ParamID id);

private:
    int count_ = 0;
    ParamQueue queues_[kCapacity];
};

class ComponentHandler final : public vst3::UnknownObject<vst3::IComponentHandler, vst3::kIComponentHandlerIid, false> {
public:
    enum class Edit { Begin, Perform, End };
    // Hears every edit; set by whoever shows or records them.
    std::function<void(Edit, vst3::ParamID, double)> onEdit;
    int restarts = 0;

    vst3::tresult MG_VST3_CALL beginEdit(vst3::ParamID id) override;
    vst3::tresult MG_VST3_CALL performEdit(vst3::ParamID id, vst3::ParamValue valueNormalized) override;
    vst3::tresult MG_VST3_CALL endEdit(vst3::ParamID id) override;
    vst3::tresult MG_VST3_CALL restartComponent(vst3::int32) override;
};

class HostApplication final : public vst3::UnknownObject<vst3::IHostApplication, vst3::kIHostApplicationIid, false> {
public:
    vst3::tresult MG_VST3_CALL getName(vst3::String128 name) override;
    vst3::tresult MG_VST3_CALL createInstance(vst3::TUID, vst3::TUID, void** obj) override;
};

// The editor's frame, and on Linux the run loop whose timers the host's
// editor thread runs (RunTimers) while the editor is open.
class PlugFrame final : public vst3::IPlugFrame, public vst3::IRunLoop {
public:
    PlugFrame() = default;
    PlugFrame(const PlugFrame&) = delete;
    PlugFrame& operator=(const PlugFrame&) = delete;
    virtual ~PlugFrame() = default;

    vst3::tresult MG_VST3_CALL queryInterface(const vst3::TUID iid, void** obj) override;
    vst3::uint32 MG_VST3_CALL addRef() override { return refs_.Add(); }
    vst3::uint32 MG_VST3_CALL release() override { return refs_.Drop(); }

    vst3::tresult MG_VST3_CALL resizeView(vst3::IPlugView* view, vst3::ViewRect* newSize) override;

    vst3::tresult MG_VST3_CALL registerEventHandler(vst3::IEventHandler*, int) override;
    vst3::tresult MG_VST3_CALL unregisterEventHandler(vst3::IEventHandler*) override;
    vst3::tresult MG_VST3_CALL registerTimer(vst3::ITimerHandler* handler, vst3::uint64 milliseconds) override;
    vst3::tresult MG_VST3_CALL unregisterTimer(vst3::ITimerHandler* handler) override;

    void RunTimers();
    int TimerCount() const { return static_cast<int>(timers_.size()); }

private:
    vst3::RefCount refs_;
    std::vector<vst3::ITimerHandler*> timers_;
};

} // namespace mg::host
