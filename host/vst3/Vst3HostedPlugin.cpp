#include "Vst3HostedPlugin.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <type_traits>
#include <vector>

#include "Failure.h"
#include "PluginLibrary.h"
#include "Vst3HostObjects.h"
#include "vst3/Vst3Text.h"

namespace mg::host {

using namespace vst3;

namespace {

#if defined(_WIN32)
#  if defined(_WIN64)
constexpr const char* kArchFolder = "x86_64-win";
#  else
constexpr const char* kArchFolder = "x86-win";
#  endif
constexpr const char* kModuleSuffix = ".vst3";
constexpr const char* kPlatformType = kPlatformTypeHWND;
#else
#  if defined(__x86_64__)
constexpr const char* kArchFolder = "x86_64-linux";
#  elif defined(__aarch64__)
constexpr const char* kArchFolder = "aarch64-linux";
#  else
constexpr const char* kArchFolder = "i386-linux";
#  endif
constexpr const char* kModuleSuffix = ".so";
constexpr const char* kPlatformType = kPlatformTypeX11EmbedWindowID;
#endif

// The four words of an id from its bytes in this system's order, as text.
std::string UidText(const char* bytes)
{
    auto b = [bytes](int i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[i])); };
    unsigned words[4];
#if defined(_WIN32)
    words[0] = b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
    words[1] = b(4) << 16 | b(5) << 24 | b(6) | b(7) << 8;
#else
    words[0] = b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
    words[1] = b(4) << 24 | b(5) << 16 | b(6) << 8 | b(7);
#endif
    words[2] = b(8) << 24 | b(9) << 16 | b(10) << 8 | b(11);
    words[3] = b(12) << 24 | b(13) << 16 | b(14) << 8 | b(15);
    char text[33];
    std::snprintf(text, sizeof text, "%08X%08X%08X%08X", words[0], words[1], words[2], words[3]);
    return text;
}

class Vst3Hosted final : public HostedPlugin {
public:
    Vst3Hosted(const std::string& path, EditListener onEdit);
    ~Vst3Hosted() override;

    PluginFormat Format() const override { return PluginFormat::Vst3; }
    std::string Name() override { return name_; }
    std::string Vendor() override { return vendor_; }
    std::string Id() override { return id_; }

    int Inputs() override { return Channels(kInput); }
    int Outputs() override { return Channels(kOutput); }
    bool CanProcessDouble() override { return processor_->canProcessSampleSize(kSample64) == kResultTrue; }
    int LatencySamples() override { return static_cast<int>(processor_->getLatencySamples()); }

    int ParameterCount() override { return static_cast<int>(parameters_.size()); }
    std::string ParameterName(int index) override { return ToUtf8(Info(index).title); }
    std::string ParameterLabel(int index) override { return ToUtf8(Info(index).units); }
    std::string ParameterDisplay(int index) override;
    double Parameter(int index) override { return controller_->getParamNormalized(Info(index).id); }
    void SetParameter(int index, double normalized) override;
    void ScheduleParameter(int index, double normalized, int frame) override;

    std::vector<std::string> ProgramNames() override;
    bool SelectProgram(int index) override;

    std::vector<std::uint8_t> SaveState() override;
    void LoadState(const std::vector<std::uint8_t>& bytes) override;

    void Prepare(double sampleRate, int maxFrames, SampleSize samples) override;
    void Resume() override;
    void Suspend() override;
    void Process(float** inputs, float** outputs, int frames) override { Run(inputs, outputs, frames); }
    void Process(double** inputs, double** outputs, int frames) override { Run(inputs, outputs, frames); }

    bool HasEditor() override { return View() != nullptr; }
    bool SetEditorScale(double scale) override;
    bool EditorSize(int& width, int& height) override;
    bool OpenEditor(void* parent) override;
    void IdleEditor() override { frame_.RunTimers(); }
    void CloseEditor() override;

private:
    void Load(const std::string& path);
    void Instantiate();
    void Teardown();
    const ParameterInfo& Info(int index);
    int Channels(BusDirection dir);
    IPlugView* View();
    template <class Sample>
    void Run(Sample** inputs, Sample** outputs, int frames);

    std::unique_ptr<loader::Library> library_;
    IPluginFactory* factory_ = nullptr;
    IComponent* component_ = nullptr;
    IAudioProcessor* processor_ = nullptr;
    IEditController* controller_ = nullptr;
    bool controllerApart_ = false;
    IPlugView* view_ = nullptr;
    bool viewAttached_ = false;
    HostApplication application_;
    ComponentHandler handler_;
    PlugFrame frame_;
    ParamChanges inputChanges_;
    ParamChanges outputChanges_;
    ProcessContext context_{};
    std::string name_;
    std::string vendor_;
    std::string id_;
    std::vector<ParameterInfo> parameters_;
    ParamID programId_ = 0;
    int programCount_ = 0;
    bool active_ = false;
    // The buses' channels, read as processing starts.
    int inputs_ = 0;
    int outputs_ = 0;
};

Vst3Hosted::Vst3Hosted(const std::string& path, EditListener onEdit)
{
    if (onEdit) {
        handler_.onEdit = [this, onEdit](ComponentHandler::Edit edit, ParamID id, double value) {
            if (edit != ComponentHandler::Edit::Perform) return;
            for (std::size_t i = 0; i < parameters_.size(); ++i)
                if (parameters_[i].id == id) onEdit(static_cast<int>(i), value);
        };
    }
    try {
        Load(path);
        Instantiate();
    } catch (...) {
        Teardown();
        throw;
    }
}

void Vst3Hosted::Load(const std::string& path)
{
    const std::string module = Vst3ModulePath(path);
    std::string error;
    library_ = loader::Library::Open(module, error);
    if (!library_) throw Failure("cannot load " + module + ": " + error);
#if defined(_WIN32)
    if (auto init = reinterpret_cast<bool (*)()>(library_->Symbol("InitDll")); init && !init())
        throw Failure(module + ": the module refused to start (InitDll)");
#else
    auto entry = reinterpret_cast<ModuleEntryProc>(library_->Symbol("ModuleEntry"));
    if (!entry || !library_->Symbol("ModuleExit")) throw Failure(module + " is no VST 3 module (no ModuleEntry/ModuleExit)");
    if (!entry(library_->NativeHandle())) throw Failure(module + ": the module refused to start (ModuleEntry)");
#endif
    auto getFactory = reinterpret_cast<GetFactoryProc>(library_->Symbol("GetPluginFactory"));
    if (!getFactory) throw Failure(module + " is no VST 3 module (no GetPluginFactory)");
    factory_ = getFactory();
    if (!factory_) throw Failure(module + ": no plug-in factory");
}

void Vst3Hosted::Instantiate()
{
    PFactoryInfo factoryInfo{};
    factory_->getFactoryInfo(&factoryInfo);
    vendor_ = std::string(factoryInfo.vendor, strnlen(factoryInfo.vendor, sizeof factoryInfo.vendor));
    auto* factory2 = HostRef<IPluginFactory2>::Query(factory_, kIPluginFactory2Iid);
    const int32 classes = factory_->countClasses();
    PClassInfo info{};
    int32 chosen = -1;
    for (int32 i = 0; i < classes && chosen < 0; ++i)
        if (factory_->getClassInfo(i, &info) == kResultOk && std::strcmp(info.category, kAudioEffectClass) == 0) chosen = i;
    if (chosen < 0) {
        if (factory2) factory2->release();
        throw Failure("the module holds no audio effect");
    }
    name_ = std::string(info.name, strnlen(info.name, sizeof info.name));
    id_ = UidText(info.cid);
    if (factory2) {
        PClassInfo2 info2{};
        if (factory2->getClassInfo2(chosen, &info2) == kResultOk && info2.vendor[0] != '\0')
            vendor_ = std::string(info2.vendor, strnlen(info2.vendor, sizeof info2.vendor));
        factory2->release();
    }

    void* object = nullptr;
    if (factory_->createInstance(info.cid, kIComponentIid.bytes, &object) != kResultOk || !object)
        throw Failure(name_ + ": the factory made no component");
    component_ = static_cast<IComponent*>(object);
    if (component_->initialize(&application_) != kResultOk) throw Failure(name_ + ": the component did not start");
    controller_ = HostRef<IEditController>::Query(component_, kIEditControllerIid);
    if (!controller_) {
        // A controller of its own, as split plug-ins have.
        TUID controllerId{};
        if (component_->getControllerClassId(controllerId) != kResultOk ||
            factory_->createInstance(controllerId, kIEditControllerIid.bytes, &object) != kResultOk || !object)
            throw Failure(name_ + ": no edit controller");
        controller_ = static_cast<IEditController*>(object);
        controllerApart_ = true;
    }
    controller_->initialize(&application_);
    controller_->setComponentHandler(&handler_);
    processor_ = HostRef<IAudioProcessor>::Query(component_, kIAudioProcessorIid);
    if (!processor_) throw Failure(name_ + ": no audio processor");

    const int32 count = controller_->getParameterCount();
    for (int32 i = 0; i < count; ++i) {
        ParameterInfo parameter{};
        if (controller_->getParameterInfo(i, parameter) != kResultOk) continue;
        if (parameter.flags & ParameterInfo::kIsProgramChange) {
            programId_ = parameter.id;
            programCount_ = parameter.stepCount + 1;
        } else {
            parameters_.push_back(parameter);
        }
    }
    // The controller starts from the component's state, as hosts hand it over.
    MemoryStream state;
    if (component_->getState(&state) == kResultOk) {
        state.Rewind();
        controller_->setComponentState(&state);
    }
}

Vst3Hosted::~Vst3Hosted() { Teardown(); }

void Vst3Hosted::Teardown()
{
    CloseEditor();
    if (active_) Suspend();
    if (controller_) {
        controller_->setComponentHandler(nullptr);
        controller_->terminate();
        controller_->release();
        controller_ = nullptr;
    }
    if (processor_) processor_->release();
    processor_ = nullptr;
    if (component_) {
        component_->terminate();
        component_->release();
        component_ = nullptr;
    }
    if (factory_) factory_->release();
    factory_ = nullptr;
    if (library_) {
#if defined(_WIN32)
        if (auto exit = reinterpret_cast<bool (*)()>(library_->Symbol("ExitDll"))) exit();
#else
        if (auto exit = reinterpret_cast<ModuleExitProc>(library_->Symbol("ModuleExit"))) exit();
#endif
        library_.reset();
    }
}

const ParameterInfo& Vst3Hosted::Info(int index)
{
    if (index < 0 || index >= ParameterCount()) throw Failure("no parameter " + std::to_string(index));
    return parameters_[static_cast<std::size_t>(index)];
}

int Vst3Hosted::Channels(BusDirection dir)
{
    BusInfo bus{};
    if (component_->getBusCount(kAudio, dir) < 1 || component_->getBusInfo(kAudio, dir, 0, bus) != kResultOk) return 0;
    return bus.channelCount;
}

std::string Vst3Hosted::ParameterDisplay(int index)
{
    const ParamID id = Info(index).id;
    String128 text{};
    if (controller_->getParamStringByValue(id, controller_->getParamNormalized(id), text) != kResultOk) return "";
    return ToUtf8(text);
}

void Vst3Hosted::SetParameter(int index, double normalized)
{
    const ParamID id = Info(index).id;
    controller_->setParamNormalized(id, normalized);
    // The processor hears it with the next block, as from a host's control.
    inputChanges_.Add(id, 0, normalized);
}

void Vst3Hosted::ScheduleParameter(int index, double normalized, int frame)
{
    inputChanges_.Add(Info(index).id, frame, normalized);
}

std::vector<std::string> Vst3Hosted::ProgramNames()
{
    std::vector<std::string> names;
    for (int i = 0; i < programCount_; ++i) {
        String128 text{};
        const double value = programCount_ > 1 ? static_cast<double>(i) / (programCount_ - 1) : 0.0;
        controller_->getParamStringByValue(programId_, value, text);
        names.push_back(ToUtf8(text));
    }
    return names;
}

bool Vst3Hosted::SelectProgram(int index)
{
    if (index < 0 || index >= programCount_ || programCount_ < 2) return false;
    const double value = static_cast<double>(index) / (programCount_ - 1);
    if (controller_->setParamNormalized(programId_, value) != kResultOk) return false;
    inputChanges_.Add(programId_, 0, value);
    return true;
}

std::vector<std::uint8_t> Vst3Hosted::SaveState()
{
    MemoryStream stream;
    if (component_->getState(&stream) != kResultOk) throw Failure(name_ + " gave no state");
    return stream.Bytes();
}

void Vst3Hosted::LoadState(const std::vector<std::uint8_t>& bytes)
{
    MemoryStream stream(bytes);
    if (component_->setState(&stream) != kResultOk) throw Failure(name_ + " refused the state");
    stream.Rewind();
    controller_->setComponentState(&stream);
}

void Vst3Hosted::Prepare(double sampleRate, int maxFrames, SampleSize samples)
{
    ProcessSetup setup{kRealtime, samples == SampleSize::Double ? kSample64 : kSample32, maxFrames, sampleRate};
    if (processor_->setupProcessing(setup) != kResultOk)
        throw Failure(name_ + " cannot run at " + std::to_string(sampleRate) + " Hz in blocks of " +
                      std::to_string(maxFrames));
    context_ = ProcessContext{};
    context_.sampleRate = sampleRate;
    context_.tempo = 120.0;
    context_.timeSigNumerator = 4;
    context_.timeSigDenominator = 4;
    context_.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid;
}

void Vst3Hosted::Resume()
{
    const int channels = Inputs();
    SpeakerArrangement arrangement = channels == 1 ? kSpeakerArrMono : kSpeakerArrStereo;
    SpeakerArrangement out = arrangement;
    processor_->setBusArrangements(&arrangement, 1, &out, 1);
    component_->activateBus(kAudio, kInput, 0, 1);
    component_->activateBus(kAudio, kOutput, 0, 1);
    inputs_ = Inputs();
    outputs_ = Outputs();
    if (component_->setActive(1) != kResultOk) throw Failure(name_ + " did not start");
    processor_->setProcessing(1);
    active_ = true;
}

void Vst3Hosted::Suspend()
{
    if (!active_) return;
    processor_->setProcessing(0);
    component_->setActive(0);
    active_ = false;
}

template <class Sample>
void Vst3Hosted::Run(Sample** inputs, Sample** outputs, int frames)
{
    constexpr bool isDouble = std::is_same_v<Sample, double>;
    AudioBusBuffers in{};
    AudioBusBuffers out{};
    in.numChannels = inputs_;
    out.numChannels = outputs_;
    if constexpr (isDouble) {
        in.channelBuffers64 = inputs;
        out.channelBuffers64 = outputs;
    } else {
        in.channelBuffers32 = inputs;
        out.channelBuffers32 = outputs;
    }
    ProcessData data{};
    data.processMode = kRealtime;
    data.symbolicSampleSize = isDouble ? kSample64 : kSample32;
    data.numSamples = frames;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &in;
    data.outputs = &out;
    data.inputParameterChanges = &inputChanges_;
    data.outputParameterChanges = &outputChanges_;
    data.processContext = &context_;
    processor_->process(data);
    inputChanges_.Clear();
    // The processor's own changes reach the controller, as in any host.
    for (int i = 0; i < outputChanges_.getParameterCount(); ++i) {
        auto* queue = static_cast<ParamQueue*>(outputChanges_.getParameterData(i));
        if (controllerApart_) controller_->setParamNormalized(queue->getParameterId(), queue->Last(0.0));
    }
    outputChanges_.Clear();
    context_.projectTimeSamples += frames;
    context_.continousTimeSamples += frames;
}

IPlugView* Vst3Hosted::View()
{
    if (!view_) view_ = controller_->createView(kEditorViewType);
    return view_;
}

bool Vst3Hosted::SetEditorScale(double scale)
{
    if (!View()) return false;
    auto* support = HostRef<IPlugViewContentScaleSupport>::Query(view_, kIPlugViewContentScaleSupportIid);
    if (!support) return false;
    const bool taken = support->setContentScaleFactor(static_cast<float>(scale)) == kResultOk;
    support->release();
    return taken;
}

bool Vst3Hosted::EditorSize(int& width, int& height)
{
    ViewRect rect{};
    if (!View() || view_->getSize(&rect) != kResultOk) return false;
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
    return width > 0 && height > 0;
}

bool Vst3Hosted::OpenEditor(void* parent)
{
    if (!View() || viewAttached_) return false;
    if (view_->isPlatformTypeSupported(kPlatformType) != kResultTrue) return false;
    view_->setFrame(&frame_);
    viewAttached_ = view_->attached(parent, kPlatformType) == kResultOk;
    if (!viewAttached_) view_->setFrame(nullptr);
    return viewAttached_;
}

void Vst3Hosted::CloseEditor()
{
    if (!view_) return;
    if (viewAttached_) view_->removed();
    viewAttached_ = false;
    view_->setFrame(nullptr);
    // A fresh view for the next opening, as hosts do.
    view_->release();
    view_ = nullptr;
}

} // namespace

bool IsModuleInVst3Bundle(const std::string& path)
{
    const std::filesystem::path module(path);
    const std::filesystem::path contents = module.parent_path().parent_path();
    return contents.filename() == "Contents" && contents.parent_path().extension() == ".vst3";
}

std::string Vst3ModulePath(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path bundle = fs::path(path).lexically_normal();
    if (!fs::is_directory(bundle, error)) return path;
    if (bundle.filename().empty()) bundle = bundle.parent_path();
    return (bundle / "Contents" / kArchFolder / bundle.stem()).string() + kModuleSuffix;
}

std::unique_ptr<HostedPlugin> LoadVst3Plugin(const std::string& path, EditListener onEdit)
{
    return std::make_unique<Vst3Hosted>(path, std::move(onEdit));
}

} // namespace mg::host
