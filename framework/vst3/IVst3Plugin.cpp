// The object's identity towards the host: interfaces, references, the life
// cycle from initialize to terminate, and the requests the plug-in makes.
#include "vst3/IVst3Plugin.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "vst3/Vst3View.h"

namespace mg {

using namespace vst3;

IVst3Plugin::IVst3Plugin(Host host, int parameterCount, const char* channelIOStr, int presetCount,
                         const PluginIdentity& identity, const PluginOptions& options)
    : IAudioPlugin(parameterCount, channelIOStr, presetCount, identity, options)
{
    hostContext_.Assign(host);
    ConnectInputChannels(0, InputChannelCount(), true);
    ConnectOutputChannels(0, OutputChannelCount(), true);
    arrangement_ = LegalIO(2, 2) ? kSpeakerArrStereo : kSpeakerArrMono;
    points_.reserve(kMaxChangePoints);
    sliceIn32_.assign(static_cast<std::size_t>(InputChannelCount()), nullptr);
    sliceOut32_.assign(static_cast<std::size_t>(OutputChannelCount()), nullptr);
    sliceIn64_.assign(static_cast<std::size_t>(InputChannelCount()), nullptr);
    sliceOut64_.assign(static_cast<std::size_t>(OutputChannelCount()), nullptr);
    SizeBuffers(kDefaultBlockLength);
}

IVst3Plugin::~IVst3Plugin() = default;

void IVst3Plugin::Open()
{
    LockGuard guard(Lock());
    EnsureOnePreset();
    ChangeAllParameters();
    OnReset();
}

// ---- interfaces and references ---------------------------------------------------

tresult MG_VST3_CALL IVst3Plugin::queryInterface(const TUID iid, void** obj)
{
    auto* component = static_cast<IComponent*>(this);
    return QueryFrom(iid, obj,
                     {{kFUnknownIid, component},
                      {kIPluginBaseIid, component},
                      {kIComponentIid, component},
                      {kIAudioProcessorIid, static_cast<IAudioProcessor*>(this)},
                      {kIEditControllerIid, static_cast<IEditController*>(this)},
                      {kIProcessContextRequirementsIid, static_cast<IProcessContextRequirements*>(this)}});
}

uint32 MG_VST3_CALL IVst3Plugin::addRef() { return refs_.Add(); }

uint32 MG_VST3_CALL IVst3Plugin::release()
{
    const uint32 left = refs_.Drop();
    if (left == 0) {
        // Wait for a block in progress on another thread, then go.
        Lock().lock();
        Lock().unlock();
        delete this;
    }
    return left;
}

// ---- life cycle --------------------------------------------------------------------
// Hosts reach initialize and terminate through the component and through the
// controller, some once, some twice: only the first of each counts.

tresult MG_VST3_CALL IVst3Plugin::initialize(FUnknown* context)
{
    LockGuard guard(Lock());
    if (initialized_) return kResultOk;
    initialized_ = true;
    if (context) hostContext_.Assign(context);
    return kResultOk;
}

tresult MG_VST3_CALL IVst3Plugin::terminate()
{
    LockGuard guard(Lock());
    if (!initialized_) return kResultOk;
    initialized_ = false;
    handler_.Reset();
    hostContext_.Reset();
    return kResultOk;
}

tresult MG_VST3_CALL IVst3Plugin::setComponentHandler(IComponentHandler* handler)
{
    LockGuard guard(Lock());
    handler_.Assign(handler);
    return kResultOk;
}

uint32 MG_VST3_CALL IVst3Plugin::getProcessContextRequirements()
{
    // The pedal reads none of the transport; an effect that does asks here.
    return 0;
}

// ---- what the plug-in asks of the host ----------------------------------------------

void IVst3Plugin::BeginHostEdit(int index)
{
    if (index >= 0 && index < 64) editing_.fetch_or(std::uint64_t{1} << index);
    if (handler_) handler_->beginEdit(static_cast<ParamID>(index));
}

void IVst3Plugin::InformHostOfChange(int index, double normalized)
{
    if (handler_) handler_->performEdit(static_cast<ParamID>(index), normalized);
}

void IVst3Plugin::EndHostEdit(int index)
{
    if (index >= 0 && index < 64) editing_.fetch_and(~(std::uint64_t{1} << index));
    if (handler_) handler_->endEdit(static_cast<ParamID>(index));
}

std::int32_t IVst3Plugin::HostSamplePosition()
{
    if (!haveContext_ || context_.projectTimeSamples < 0) return 0;
    return context_.projectTimeSamples > INT32_MAX ? INT32_MAX
                                                   : static_cast<std::int32_t>(context_.projectTimeSamples);
}

double IVst3Plugin::HostTempo()
{
    const bool valid = haveContext_ && (context_.state & ProcessContext::kTempoValid);
    return valid && std::isfinite(context_.tempo) && context_.tempo >= 0.0 ? context_.tempo : 0.0;
}

void IVst3Plugin::HostTimeSignature(int* numerator, int* denominator)
{
    const bool valid = haveContext_ && (context_.state & ProcessContext::kTimeSigValid) &&
                       context_.timeSigNumerator >= 0 && context_.timeSigDenominator >= 0;
    if (numerator) *numerator = valid ? context_.timeSigNumerator : 0;
    if (denominator) *denominator = valid ? context_.timeSigDenominator : 0;
}

// ---- the editor --------------------------------------------------------------------

IPlugView* MG_VST3_CALL IVst3Plugin::createView(FIDString name)
{
    // Some hosts ask with no name for the editor.
    if (name && std::strcmp(name, kEditorViewType) != 0) return nullptr;
    if (!Editor()) return nullptr;
    try {
        return new Vst3View(*this);
    } catch (...) {
        return nullptr;
    }
}

} // namespace mg
