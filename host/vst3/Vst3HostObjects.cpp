#include "Vst3HostObjects.h"

#include <algorithm>
#include <cstring>

#include "vst3/Vst3Text.h"

namespace mg::host {

using namespace vst3;

// ---- the stream --------------------------------------------------------------

tresult MG_VST3_CALL MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
    if (numBytesRead) *numBytesRead = 0;
    if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
    std::size_t n = std::min(static_cast<std::size_t>(numBytes), bytes_.size() - pos_);
    if (readLimit_ > 0) n = std::min(n, static_cast<std::size_t>(readLimit_));
    if (n > 0) std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    if (numBytesRead) *numBytesRead = static_cast<int32>(n);
    return kResultOk;
}

tresult MG_VST3_CALL MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten)
{
    if (numBytesWritten) *numBytesWritten = 0;
    if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
    const auto n = static_cast<std::size_t>(numBytes);
    if (bytes_.size() < pos_ + n) bytes_.resize(pos_ + n);
    if (n > 0) std::memcpy(bytes_.data() + pos_, buffer, n);
    pos_ += n;
    if (numBytesWritten) *numBytesWritten = numBytes;
    return kResultOk;
}

tresult MG_VST3_CALL MemoryStream::seek(int64 pos, int32 mode, int64* result)
{
    const auto size = static_cast<int64>(bytes_.size());
    int64 base = 0;
    if (mode == IBStream::kIBSeekCur) base = static_cast<int64>(pos_);
    else if (mode == IBStream::kIBSeekEnd) base = size;
    else if (mode != IBStream::kIBSeekSet) return kInvalidArgument;
    pos_ = static_cast<std::size_t>(std::clamp<int64>(base + pos, 0, size));
    if (result) *result = static_cast<int64>(pos_);
    return kResultOk;
}

tresult MG_VST3_CALL MemoryStream::tell(int64* pos)
{
    if (!pos) return kInvalidArgument;
    *pos = static_cast<int64>(pos_);
    return kResultOk;
}

// ---- parameter changes -----------------------------------------------------------

tresult MG_VST3_CALL ParamQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
    if (index < 0 || index >= count_) return kInvalidArgument;
    sampleOffset = points_[index].offset;
    value = points_[index].value;
    return kResultOk;
}

tresult MG_VST3_CALL ParamQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
    // A point at an offset already there replaces its value.
    for (int i = 0; i < count_; ++i) {
        if (points_[i].offset != sampleOffset) continue;
        points_[i].value = value;
        index = i;
        return kResultOk;
    }
    if (count_ == kCapacity) return kResultFalse;
    int at = count_;
    while (at > 0 && points_[at - 1].offset > sampleOffset) {
        points_[at] = points_[at - 1];
        --at;
    }
    points_[at] = Point{sampleOffset, value};
    ++count_;
    index = at;
    return kResultOk;
}

IParamValueQueue* MG_VST3_CALL ParamChanges::getParameterData(int32 index)
{
    return index >= 0 && index < count_ ? &queues_[index] : nullptr;
}

IParamValueQueue* MG_VST3_CALL ParamChanges::addParameterData(const ParamID& id, int32& index)
{
    for (int i = 0; i < count_; ++i) {
        if (queues_[i].getParameterId() != id) continue;
        index = i;
        return &queues_[i];
    }
    if (count_ == kCapacity) return nullptr;
    queues_[count_].Reset(id);
    index = count_;
    return &queues_[count_++];
}

ParamQueue* ParamChanges::Find(ParamID id)
{
    for (int i = 0; i < count_; ++i)
        if (queues_[i].getParameterId() == id) return &queues_[i];
    return nullptr;
}

bool ParamChanges::Add(ParamID id, int32 offset, double value)
{
    int32 index = 0;
    IParamValueQueue* queue = addParameterData(id, index);
    return queue && queue->addPoint(offset, value, index) == kResultOk;
}

// ---- the handler and the application ------------------------------------------------

tresult MG_VST3_CALL ComponentHandler::beginEdit(ParamID id)
{
    if (onEdit) onEdit(Edit::Begin, id, 0.0);
    return kResultOk;
}

tresult MG_VST3_CALL ComponentHandler::performEdit(ParamID id, ParamValue valueNormalized)
{
    if (onEdit) onEdit(Edit::Perform, id, valueNormalized);
    return kResultOk;
}

tresult MG_VST3_CALL ComponentHandler::endEdit(ParamID id)
{
    if (onEdit) onEdit(Edit::End, id, 0.0);
    return kResultOk;
}

tresult MG_VST3_CALL ComponentHandler::restartComponent(int32)
{
    ++restarts;
    return kResultOk;
}

tresult MG_VST3_CALL HostApplication::getName(String128 name)
{
    if (!name) return kInvalidArgument;
    ToUtf16("mg-host", name, 128);
    return kResultOk;
}

tresult MG_VST3_CALL HostApplication::createInstance(TUID, TUID, void** obj)
{
    if (obj) *obj = nullptr;
    return kNotImplemented;
}

// ---- the frame and its run loop ----------------------------------------------------

tresult MG_VST3_CALL PlugFrame::queryInterface(const TUID iid, void** obj)
{
    return QueryFrom(iid, obj,
                     {{kFUnknownIid, static_cast<IPlugFrame*>(this)},
                      {kIPlugFrameIid, static_cast<IPlugFrame*>(this)},
                      {kIRunLoopIid, static_cast<IRunLoop*>(this)}});
}

tresult MG_VST3_CALL PlugFrame::resizeView(IPlugView*, ViewRect*) { return kResultFalse; }

tresult MG_VST3_CALL PlugFrame::registerEventHandler(IEventHandler*, int) { return kNotImplemented; }

tresult MG_VST3_CALL PlugFrame::unregisterEventHandler(IEventHandler*) { return kResultOk; }

tresult MG_VST3_CALL PlugFrame::registerTimer(ITimerHandler* handler, uint64 milliseconds)
{
    if (!handler || milliseconds == 0) return kInvalidArgument;
    handler->addRef();
    timers_.push_back(handler);
    return kResultTrue;
}

tresult MG_VST3_CALL PlugFrame::unregisterTimer(ITimerHandler* handler)
{
    const auto at = std::find(timers_.begin(), timers_.end(), handler);
    if (at == timers_.end()) return kResultOk;
    timers_.erase(at);
    handler->release();
    return kResultOk;
}

void PlugFrame::RunTimers()
{
    // A copy: a handler may unregister itself from its own call.
    const std::vector<ITimerHandler*> timers = timers_;
    for (ITimerHandler* timer : timers)
        if (std::find(timers_.begin(), timers_.end(), timer) != timers_.end()) timer->onTimer();
}

} // namespace mg::host
