#pragma once
// The VST 3 binary interface as this project uses it, written from the
// interface's published facts: basic types, result codes, interface ids,
// the interfaces an audio effect implements or calls (pure virtual classes
// whose methods sit in the hosts' slot order), the records that cross the
// boundary and the constants. Only the VST 3 binding and hosts include it.
//
// Rules the layout depends on: no interface has a virtual destructor or an
// overloaded method (either would shift the slots hosts call), every method
// uses MG_VST3_CALL, and an object implementing several interfaces hands
// out the sub-object of the interface asked for.
#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
// 32-bit Windows hosts call every interface method with stdcall, not the
// compiler's default thiscall for members.
#  define MG_VST3_CALL __stdcall
#else
#  define MG_VST3_CALL
#endif

namespace mg::vst3 {

using int8 = char;
using uint8 = std::uint8_t;
using int16 = std::int16_t;
using uint16 = std::uint16_t;
using int32 = std::int32_t;
using uint32 = std::uint32_t;
using int64 = std::int64_t;
using uint64 = std::uint64_t;
using tresult = int32;
using TBool = uint8;
using char8 = char;
using char16 = char16_t; // UTF-16 on every platform, never wchar_t
using TChar = char16;
using String128 = TChar[128];
using CString = const char8*;
using FIDString = const char8*;
using TUID = char[16];
using ParamID = uint32;
using ParamValue = double;
using SampleRate = double;
using Sample32 = float;
using Sample64 = double;
using TSamples = int64;
using TQuarterNotes = double;
using SpeakerArrangement = uint64;
using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using UnitID = int32;
using ProgramListID = int32;

// ---- result codes ------------------------------------------------------------
// Windows uses COM's values, other systems small integers.
#if defined(_WIN32)
inline constexpr tresult kNoInterface = static_cast<tresult>(0x80004002u);
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = kResultOk;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057u);
inline constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001u);
inline constexpr tresult kInternalError = static_cast<tresult>(0x80004005u);
inline constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFu);
inline constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000Eu);
#else
inline constexpr tresult kNoInterface = -1;
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = kResultOk;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = 2;
inline constexpr tresult kNotImplemented = 3;
inline constexpr tresult kInternalError = 4;
inline constexpr tresult kNotInitialized = 5;
inline constexpr tresult kOutOfMemory = 6;
#endif

// ---- identifiers -------------------------------------------------------------
// An id is four 32-bit words; its 16 bytes in memory are the words in big-
// endian order, except on Windows, where the first eight bytes follow the
// GUID's little-endian fields. The text form (%08X four times) is the same
// everywhere.
struct Uid {
    char bytes[16];
};

constexpr Uid MakeUid(uint32 l1, uint32 l2, uint32 l3, uint32 l4)
{
    Uid uid{};
    auto put = [&uid](int at, uint32 word, int shift) { uid.bytes[at] = static_cast<char>((word >> shift) & 0xFF); };
#if defined(_WIN32)
    for (int i = 0; i < 4; ++i) put(i, l1, 8 * i);
    put(4, l2, 16);
    put(5, l2, 24);
    put(6, l2, 0);
    put(7, l2, 8);
#else
    for (int i = 0; i < 4; ++i) put(i, l1, 24 - 8 * i);
    for (int i = 0; i < 4; ++i) put(4 + i, l2, 24 - 8 * i);
#endif
    for (int i = 0; i < 4; ++i) put(8 + i, l3, 24 - 8 * i);
    for (int i = 0; i < 4; ++i) put(12 + i, l4, 24 - 8 * i);
    return uid;
}

inline constexpr Uid kFUnknownIid = MakeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
inline constexpr Uid kIPluginBaseIid = MakeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
inline constexpr Uid kIPluginFactoryIid = MakeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
inline constexpr Uid kIPluginFactory2Iid = MakeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
inline constexpr Uid kIPluginFactory3Iid = MakeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
inline constexpr Uid kIComponentIid = MakeUid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
inline constexpr Uid kIAudioProcessorIid = MakeUid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
inline constexpr Uid kIProcessContextRequirementsIid = MakeUid(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);
inline constexpr Uid kIEditControllerIid = MakeUid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
inline constexpr Uid kIUnitInfoIid = MakeUid(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);
inline constexpr Uid kIComponentHandlerIid = MakeUid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
inline constexpr Uid kIHostApplicationIid = MakeUid(0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5);
inline constexpr Uid kIBStreamIid = MakeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
inline constexpr Uid kIParameterChangesIid = MakeUid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
inline constexpr Uid kIParamValueQueueIid = MakeUid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
inline constexpr Uid kIPlugViewIid = MakeUid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
inline constexpr Uid kIPlugFrameIid = MakeUid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);
inline constexpr Uid kIPlugViewContentScaleSupportIid = MakeUid(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F);
inline constexpr Uid kIRunLoopIid = MakeUid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
inline constexpr Uid kITimerHandlerIid = MakeUid(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);

// ---- interfaces ---------------------------------------------------------------
// Destructors are protected and not virtual: objects are released through
// `release`, and a virtual destructor would add slots.
#define MG_VST3_INTERFACE(Name)                                                                             \
protected:                                                                                                  \
    Name() = default;                                                                                       \
    Name(const Name&) = default;                                                                            \
    Name& operator=(const Name&) = default;                                                                 \
    ~Name() = default;                                                                                      \
                                                                                                            \
public:

class FUnknown {
    MG_VST3_INTERFACE(FUnknown)
    virtual tresult MG_VST3_CALL queryInterface(const TUID iid, void** obj) = 0;
    virtual uint32 MG_VST3_CALL addRef() = 0;
    virtual uint32 MG_VST3_CALL release() = 0;
};

class IBStream : public FUnknown {
    MG_VST3_INTERFACE(IBStream)
    enum { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };
    virtual tresult MG_VST3_CALL read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
    virtual tresult MG_VST3_CALL write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
    virtual tresult MG_VST3_CALL seek(int64 pos, int32 mode, int64* result) = 0;
    virtual tresult MG_VST3_CALL tell(int64* pos) = 0;
};

class IPluginBase : public FUnknown {
    MG_VST3_INTERFACE(IPluginBase)
    virtual tresult MG_VST3_CALL initialize(FUnknown* context) = 0;
    virtual tresult MG_VST3_CALL terminate() = 0;
};

struct PFactoryInfo {
    enum { kNoFlags = 0, kClassesDiscardable = 1, kUnicode = 16 };
    char8 vendor[64];
    char8 url[256];
    char8 email[128];
    int32 flags;
};

struct PClassInfo {
    enum { kManyInstances = 0x7FFFFFFF };
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char8 name[64];
};

struct PClassInfo2 {
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char8 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char8 vendor[64];
    char8 version[64];
    char8 sdkVersion[64];
};

struct PClassInfoW {
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char16 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

class IPluginFactory : public FUnknown {
    MG_VST3_INTERFACE(IPluginFactory)
    virtual tresult MG_VST3_CALL getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32 MG_VST3_CALL countClasses() = 0;
    virtual tresult MG_VST3_CALL getClassInfo(int32 index, PClassInfo* info) = 0;
    virtual tresult MG_VST3_CALL createInstance(FIDString cid, FIDString iid, void** obj) = 0;
};

class IPluginFactory2 : public IPluginFactory {
    MG_VST3_INTERFACE(IPluginFactory2)
    virtual tresult MG_VST3_CALL getClassInfo2(int32 index, PClassInfo2* info) = 0;
};

class IPluginFactory3 : public IPluginFactory2 {
    MG_VST3_INTERFACE(IPluginFactory3)
    virtual tresult MG_VST3_CALL getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    virtual tresult MG_VST3_CALL setHostContext(FUnknown* context) = 0;
};

// ---- component and processor ---------------------------------------------------

enum MediaTypes : int32 { kAudio = 0, kEvent = 1 };
enum BusDirections : int32 { kInput = 0, kOutput = 1 };
enum BusTypes : int32 { kMain = 0, kAux = 1 };
enum SymbolicSampleSizes : int32 { kSample32 = 0, kSample64 = 1 };
enum ProcessModes : int32 { kRealtime = 0, kPrefetch = 1, kOffline = 2 };

inline constexpr SpeakerArrangement kSpeakerArrEmpty = 0;
inline constexpr SpeakerArrangement kSpeakerArrMono = 1ull << 19;
inline constexpr SpeakerArrangement kSpeakerArrStereo = 0x3;

struct BusInfo {
    enum { kDefaultActive = 1 };
    MediaType mediaType;
    BusDirection direction;
    int32 channelCount;
    String128 name;
    BusType busType;
    uint32 flags;
};

struct RoutingInfo {
    MediaType mediaType;
    int32 busIndex;
    int32 channel;
};

class IComponent : public IPluginBase {
    MG_VST3_INTERFACE(IComponent)
    virtual tresult MG_VST3_CALL getControllerClassId(TUID classId) = 0;
    virtual tresult MG_VST3_CALL setIoMode(IoMode mode) = 0;
    virtual int32 MG_VST3_CALL getBusCount(MediaType type, BusDirection dir) = 0;
    virtual tresult MG_VST3_CALL getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) = 0;
    virtual tresult MG_VST3_CALL getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult MG_VST3_CALL activateBus(MediaType type, BusDirection dir, int32 index, TBool state) = 0;
    virtual tresult MG_VST3_CALL setActive(TBool state) = 0;
    virtual tresult MG_VST3_CALL setState(IBStream* state) = 0;
    virtual tresult MG_VST3_CALL getState(IBStream* state) = 0;
};

struct ProcessSetup {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 maxSamplesPerBlock;
    SampleRate sampleRate;
};

struct AudioBusBuffers {
    int32 numChannels;
    uint64 silenceFlags;
    union {
        Sample32** channelBuffers32;
        Sample64** channelBuffers64;
    };
};

class IParamValueQueue : public FUnknown {
    MG_VST3_INTERFACE(IParamValueQueue)
    virtual ParamID MG_VST3_CALL getParameterId() = 0;
    virtual int32 MG_VST3_CALL getPointCount() = 0;
    virtual tresult MG_VST3_CALL getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
    virtual tresult MG_VST3_CALL addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;
};

class IParameterChanges : public FUnknown {
    MG_VST3_INTERFACE(IParameterChanges)
    virtual int32 MG_VST3_CALL getParameterCount() = 0;
    virtual IParamValueQueue* MG_VST3_CALL getParameterData(int32 index) = 0;
    virtual IParamValueQueue* MG_VST3_CALL addParameterData(const ParamID& id, int32& index) = 0;
};

class IEventList; // never read: the effect has no event buses

struct FrameRate {
    uint32 framesPerSecond;
    uint32 flags;
};

struct Chord {
    uint8 keyNote;
    uint8 rootNote;
    int16 chordMask;
};

struct ProcessContext {
    enum {
        kPlaying = 1 << 1,
        kTempoValid = 1 << 10,
        kTimeSigValid = 1 << 13,
    };
    uint32 state;
    double sampleRate;
    TSamples projectTimeSamples;
    int64 systemTime;
    TSamples continousTimeSamples;
    TQuarterNotes projectTimeMusic;
    TQuarterNotes barPositionMusic;
    TQuarterNotes cycleStartMusic;
    TQuarterNotes cycleEndMusic;
    double tempo;
    int32 timeSigNumerator;
    int32 timeSigDenominator;
    Chord chord;
    int32 smpteOffsetSubframes;
    FrameRate frameRate;
    int32 samplesToNextClock;
};

struct ProcessData {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 numSamples;
    int32 numInputs;
    int32 numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

class IAudioProcessor : public FUnknown {
    MG_VST3_INTERFACE(IAudioProcessor)
    virtual tresult MG_VST3_CALL setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                    SpeakerArrangement* outputs, int32 numOuts) = 0;
    virtual tresult MG_VST3_CALL getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) = 0;
    virtual tresult MG_VST3_CALL canProcessSampleSize(int32 symbolicSampleSize) = 0;
    virtual uint32 MG_VST3_CALL getLatencySamples() = 0;
    virtual tresult MG_VST3_CALL setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult MG_VST3_CALL setProcessing(TBool state) = 0;
    virtual tresult MG_VST3_CALL process(ProcessData& data) = 0;
    virtual uint32 MG_VST3_CALL getTailSamples() = 0;
};

class IProcessContextRequirements : public FUnknown {
    MG_VST3_INTERFACE(IProcessContextRequirements)
    virtual uint32 MG_VST3_CALL getProcessContextRequirements() = 0;
};

// ---- edit controller ------------------------------------------------------------

struct ParameterInfo {
    enum { kNoFlags = 0, kCanAutomate = 1, kIsReadOnly = 2, kIsList = 8, kIsProgramChange = 1 << 15 };
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32 stepCount;
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    int32 flags;
};

inline constexpr UnitID kRootUnitId = 0;
inline constexpr UnitID kNoParentUnitId = -1;
inline constexpr ProgramListID kNoProgramListId = -1;

class IComponentHandler : public FUnknown {
    MG_VST3_INTERFACE(IComponentHandler)
    virtual tresult MG_VST3_CALL beginEdit(ParamID id) = 0;
    virtual tresult MG_VST3_CALL performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult MG_VST3_CALL endEdit(ParamID id) = 0;
    virtual tresult MG_VST3_CALL restartComponent(int32 flags) = 0;
};

class IPlugView;

class IEditController : public IPluginBase {
    MG_VST3_INTERFACE(IEditController)
    virtual tresult MG_VST3_CALL setComponentState(IBStream* state) = 0;
    virtual tresult MG_VST3_CALL setState(IBStream* state) = 0;
    virtual tresult MG_VST3_CALL getState(IBStream* state) = 0;
    virtual int32 MG_VST3_CALL getParameterCount() = 0;
    virtual tresult MG_VST3_CALL getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
    virtual tresult MG_VST3_CALL getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0;
    virtual tresult MG_VST3_CALL getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) = 0;
    virtual ParamValue MG_VST3_CALL normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
    virtual ParamValue MG_VST3_CALL plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
    virtual ParamValue MG_VST3_CALL getParamNormalized(ParamID id) = 0;
    virtual tresult MG_VST3_CALL setParamNormalized(ParamID id, ParamValue value) = 0;
    virtual tresult MG_VST3_CALL setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* MG_VST3_CALL createView(FIDString name) = 0;
};

struct UnitInfo {
    UnitID id;
    UnitID parentUnitId;
    String128 name;
    ProgramListID programListId;
};

struct ProgramListInfo {
    ProgramListID id;
    String128 name;
    int32 programCount;
};

class IUnitInfo : public FUnknown {
    MG_VST3_INTERFACE(IUnitInfo)
    virtual int32 MG_VST3_CALL getUnitCount() = 0;
    virtual tresult MG_VST3_CALL getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;
    virtual int32 MG_VST3_CALL getProgramListCount() = 0;
    virtual tresult MG_VST3_CALL getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;
    virtual tresult MG_VST3_CALL getProgramName(ProgramListID listId, int32 programIndex, String128 name) = 0;
    virtual tresult MG_VST3_CALL getProgramInfo(ProgramListID listId, int32 programIndex, CString attributeId,
                                                String128 attributeValue) = 0;
    virtual tresult MG_VST3_CALL hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0;
    virtual tresult MG_VST3_CALL getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                                     String128 name) = 0;
    virtual UnitID MG_VST3_CALL getSelectedUnit() = 0;
    virtual tresult MG_VST3_CALL selectUnit(UnitID unitId) = 0;
    virtual tresult MG_VST3_CALL getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                              UnitID& unitId) = 0;
    virtual tresult MG_VST3_CALL setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) = 0;
};

class IHostApplication : public FUnknown {
    MG_VST3_INTERFACE(IHostApplication)
    virtual tresult MG_VST3_CALL getName(String128 name) = 0;
    virtual tresult MG_VST3_CALL createInstance(TUID cid, TUID iid, void** obj) = 0;
};

// ---- editor view -----------------------------------------------------------------

struct ViewRect {
    int32 left;
    int32 top;
    int32 right;
    int32 bottom;
};

inline constexpr const char* kPlatformTypeHWND = "HWND";
inline constexpr const char* kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";
inline constexpr const char* kEditorViewType = "editor";

class IPlugFrame : public FUnknown {
    MG_VST3_INTERFACE(IPlugFrame)
    virtual tresult MG_VST3_CALL resizeView(IPlugView* view, ViewRect* newSize) = 0;
};

class IPlugView : public FUnknown {
    MG_VST3_INTERFACE(IPlugView)
    virtual tresult MG_VST3_CALL isPlatformTypeSupported(FIDString type) = 0;
    virtual tresult MG_VST3_CALL attached(void* parent, FIDString type) = 0;
    virtual tresult MG_VST3_CALL removed() = 0;
    virtual tresult MG_VST3_CALL onWheel(float distance) = 0;
    virtual tresult MG_VST3_CALL onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult MG_VST3_CALL onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult MG_VST3_CALL getSize(ViewRect* size) = 0;
    virtual tresult MG_VST3_CALL onSize(ViewRect* newSize) = 0;
    virtual tresult MG_VST3_CALL onFocus(TBool state) = 0;
    virtual tresult MG_VST3_CALL setFrame(IPlugFrame* frame) = 0;
    virtual tresult MG_VST3_CALL canResize() = 0;
    virtual tresult MG_VST3_CALL checkSizeConstraint(ViewRect* rect) = 0;
};

class IPlugViewContentScaleSupport : public FUnknown {
    MG_VST3_INTERFACE(IPlugViewContentScaleSupport)
    virtual tresult MG_VST3_CALL setContentScaleFactor(float factor) = 0;
};

class ITimerHandler : public FUnknown {
    MG_VST3_INTERFACE(ITimerHandler)
    virtual void MG_VST3_CALL onTimer() = 0;
};

class IEventHandler : public FUnknown {
    MG_VST3_INTERFACE(IEventHandler)
    virtual void MG_VST3_CALL onFDIsSet(int fd) = 0;
};

class IRunLoop : public FUnknown {
    MG_VST3_INTERFACE(IRunLoop)
    virtual tresult MG_VST3_CALL registerEventHandler(IEventHandler* handler, int fd) = 0;
    virtual tresult MG_VST3_CALL unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult MG_VST3_CALL registerTimer(ITimerHandler* handler, uint64 milliseconds) = 0;
    virtual tresult MG_VST3_CALL unregisterTimer(ITimerHandler* handler) = 0;
};

#undef MG_VST3_INTERFACE

// ---- module entry points ------------------------------------------------------------

using GetFactoryProc = IPluginFactory*(MG_VST3_CALL*)();
using ModuleEntryProc = bool (*)(void*);
using ModuleExitProc = bool (*)();
// Hosts call these through a stdcall pointer; with no arguments the two
// conventions meet.
using InitDllProc = bool (*)();
using ExitDllProc = bool (*)();

inline constexpr const char* kAudioEffectClass = "Audio Module Class";
inline constexpr const char* kSdkVersionText = "VST 3.7.14";

// ---- layouts every host relies on ----------------------------------------------------
// The natural layouts of x86-64 (Linux and Windows) and 32-bit Windows, where
// 8-byte members align to 8; the two differ only in pointer size.
static_assert(sizeof(PFactoryInfo) == 452 && offsetof(PFactoryInfo, flags) == 448);
static_assert(sizeof(PClassInfo) == 116 && offsetof(PClassInfo, name) == 52);
static_assert(sizeof(PClassInfo2) == 440 && offsetof(PClassInfo2, subCategories) == 120 &&
              offsetof(PClassInfo2, sdkVersion) == 376);
static_assert(sizeof(PClassInfoW) == 696 && offsetof(PClassInfoW, classFlags) == 180 &&
              offsetof(PClassInfoW, vendor) == 312 && offsetof(PClassInfoW, sdkVersion) == 568);
static_assert(sizeof(BusInfo) == 276 && offsetof(BusInfo, busType) == 268);
static_assert(sizeof(RoutingInfo) == 12);
static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, sampleRate) == 16);
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, silenceFlags) == 8 &&
              offsetof(AudioBusBuffers, channelBuffers32) == 16);
static_assert(sizeof(FrameRate) == 8 && sizeof(Chord) == 4);
static_assert(sizeof(ProcessContext) == 112 && offsetof(ProcessContext, sampleRate) == 8 &&
              offsetof(ProcessContext, tempo) == 72 && offsetof(ProcessContext, chord) == 88 &&
              offsetof(ProcessContext, frameRate) == 96 && offsetof(ProcessContext, samplesToNextClock) == 104);
static_assert(sizeof(ParameterInfo) == 792 && offsetof(ParameterInfo, stepCount) == 772 &&
              offsetof(ParameterInfo, defaultNormalizedValue) == 776 && offsetof(ParameterInfo, flags) == 788);
static_assert(sizeof(ViewRect) == 16);
static_assert(sizeof(UnitInfo) == 268 && offsetof(UnitInfo, programListId) == 264);
static_assert(sizeof(ProgramListInfo) == 264 && offsetof(ProgramListInfo, programCount) == 260);
#if defined(_WIN64) || defined(__x86_64__)
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, inputs) == 24 &&
              offsetof(ProcessData, inputParameterChanges) == 40 && offsetof(ProcessData, processContext) == 72);
#elif defined(_WIN32)
static_assert(sizeof(ProcessData) == 48 && offsetof(ProcessData, inputs) == 20 &&
              offsetof(ProcessData, inputParameterChanges) == 28 && offsetof(ProcessData, processContext) == 44);
#endif

// The byte order of ids, checked on one the interface's documents spell out.
#if defined(_WIN32)
static_assert(kIComponentIid.bytes[0] == '\x31' && kIComponentIid.bytes[3] == '\xE8' &&
              kIComponentIid.bytes[4] == '\xD5' && kIComponentIid.bytes[7] == '\x43' &&
              kIComponentIid.bytes[8] == '\x92');
#else
static_assert(kIComponentIid.bytes[0] == '\xE8' && kIComponentIid.bytes[3] == '\x31' &&
              kIComponentIid.bytes[4] == '\xF2' && kIComponentIid.bytes[7] == '\x01' &&
              kIComponentIid.bytes[8] == '\x92');
#endif

} // namespace mg::vst3
