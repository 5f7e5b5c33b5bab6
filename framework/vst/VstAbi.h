#pragma once
// The VST 2.4 binary interface as this project uses it: the descriptor, the
// records that cross the boundary, opcodes and constants. Only the binding
// and hosts include this; the plug-in core never sees these names.
#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#  define VST_CALL __cdecl
#else
#  define VST_CALL
#endif

namespace vst {

using int32 = std::int32_t;
using intptr = std::intptr_t;

#pragma pack(push, 8)

struct AEffect;

using HostCallback = intptr(VST_CALL*)(AEffect* effect, int32 opcode, int32 index, intptr value,
                                       void* ptr, float opt);
using DispatcherProc = intptr(VST_CALL*)(AEffect* effect, int32 opcode, int32 index, intptr value,
                                         void* ptr, float opt);
using ProcessProc = void(VST_CALL*)(AEffect* effect, float** inputs, float** outputs, int32 frames);
using ProcessDoubleProc = void(VST_CALL*)(AEffect* effect, double** inputs, double** outputs,
                                          int32 frames);
using SetParameterProc = void(VST_CALL*)(AEffect* effect, int32 index, float value);
using GetParameterProc = float(VST_CALL*)(AEffect* effect, int32 index);
using EntryProc = AEffect*(VST_CALL*)(HostCallback host);

constexpr int32 kEffectMagic = 0x56737450; // 'VstP'

struct AEffect {
    int32 magic;
    DispatcherProc dispatcher;
    ProcessProc process;
    SetParameterProc setParameter;
    GetParameterProc getParameter;
    int32 numPrograms;
    int32 numParams;
    int32 numInputs;
    int32 numOutputs;
    int32 flags;
    intptr resvd1;
    intptr resvd2;
    int32 initialDelay;
    int32 realQualities;
    int32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    int32 uniqueID;
    int32 version;
    ProcessProc processReplacing;
    ProcessDoubleProc processDoubleReplacing;
    char future[56];
};

struct ERect {
    std::int16_t top, left, bottom, right;
};

struct VstEvent {
    int32 type;
    int32 byteSize;
    int32 deltaFrames;
    int32 flags;
    char data[16];
};

struct VstMidiEvent {
    int32 type;
    int32 byteSize;
    int32 deltaFrames;
    int32 flags;
    int32 noteLength;
    int32 noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct VstMidiSysexEvent {
    int32 type;
    int32 byteSize;
    int32 deltaFrames;
    int32 flags;
    int32 dumpBytes;
    intptr resvd1;
    char* sysexDump;
    intptr resvd2;
};

// Declared with two entries; really numEvents long.
struct VstEvents {
    int32 numEvents;
    intptr reserved;
    VstEvent* events[2];
};

struct VstTimeInfo {
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    int32 timeSigNumerator;
    int32 timeSigDenominator;
    int32 smpteOffset;
    int32 smpteFrameRate;
    int32 samplesToNextClock;
    int32 flags;
};

struct VstPinProperties {
    char label[64];
    int32 flags;
    int32 arrangementType;
    char shortLabel[8];
    char future[48];
};

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    int32 type;
    char future[28];
};

// Declared with eight speakers; really numChannels long.
struct VstSpeakerArrangement {
    int32 type;
    int32 numChannels;
    VstSpeakerProperties speakers[8];
};

struct MidiKeyName {
    int32 thisProgramIndex;
    int32 thisKeyNumber;
    char keyName[64];
    int32 reserved;
    int32 flags;
};

struct VstParameterProperties {
    float stepFloat;
    float smallStepFloat;
    float largeStepFloat;
    char label[64];
    int32 flags;
    int32 minInteger;
    int32 maxInteger;
    int32 stepInteger;
    int32 largeStepInteger;
    char shortLabel[8];
    std::int16_t displayIndex;
    std::int16_t category;
    std::int16_t numParametersInCategory;
    std::int16_t reserved;
    char categoryLabel[24];
    char future[16];
};

#pragma pack(pop)

// ---- descriptor flags ------------------------------------------------------
enum : int32 {
    effFlagsHasEditor = 1,
    effFlagsCanMono = 8,
    effFlagsCanReplacing = 16,
    effFlagsProgramChunks = 32,
    effFlagsIsSynth = 256,
    effFlagsNoSoundInStop = 512,
    effFlagsCanDoubleReplacing = 4096,
};

// ---- dispatcher opcodes (host to plug-in) ------------------------------------
enum : int32 {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetProgramNameIndexed = 29,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effProcessVarIo = 41,
    effSetSpeakerArrangement = 42,
    effSetBypass = 44,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effIdle = 53,
    effGetParameterProperties = 56,
    effGetVstVersion = 58,
    effGetMidiKeyName = 66,
    effGetSpeakerArrangement = 69,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetProcessPrecision = 77,
};

// ---- host opcodes (plug-in to host) ----------------------------------------
enum : int32 {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterIOChanged = 13,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterCanDo = 37,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

// ---- constants -------------------------------------------------------------
enum : int32 {
    kVstMidiType = 1,
    kVstSysExType = 6,
    kVstPinIsActive = 1,
    kVstPinIsStereo = 2,
    kVstPinUseSpeaker = 4,
    kPlugCategEffect = 1,
    kVstVersion = 2400,
};

enum : int32 {
    kVstTransportPlaying = 2,
    kVstNanosValid = 256,
    kVstPpqPosValid = 512,
    kVstTempoValid = 0x400,
    kVstBarsValid = 0x800,
    kVstTimeSigValid = 0x2000,
};

// Buffer sizes including the terminator.
constexpr std::size_t kVstMaxProgNameLen = 24;
constexpr std::size_t kVstMaxParamStrLen = 8;
constexpr std::size_t kVstMaxVendorStrLen = 64;
constexpr std::size_t kVstMaxProductStrLen = 64;
constexpr std::size_t kVstMaxEffectNameLen = 32;
constexpr std::size_t kVstMaxLabelLen = 64;
constexpr std::size_t kVstMaxNameLen = 64;

// ---- layout checks: the host reads these records by offset -----------------
#if defined(_WIN32) && !defined(_WIN64)
constexpr bool kAbi32 = true;
#else
constexpr bool kAbi32 = false;
#endif
static_assert(sizeof(void*) == (kAbi32 ? 4 : 8), "unexpected pointer size for this target");
static_assert(sizeof(intptr) == sizeof(void*));

static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == (kAbi32 ? 4 : 8));
static_assert(offsetof(AEffect, process) == (kAbi32 ? 8 : 16));
static_assert(offsetof(AEffect, setParameter) == (kAbi32 ? 12 : 24));
static_assert(offsetof(AEffect, getParameter) == (kAbi32 ? 16 : 32));
static_assert(offsetof(AEffect, numPrograms) == (kAbi32 ? 20 : 40));
static_assert(offsetof(AEffect, numParams) == (kAbi32 ? 24 : 44));
static_assert(offsetof(AEffect, numInputs) == (kAbi32 ? 28 : 48));
static_assert(offsetof(AEffect, numOutputs) == (kAbi32 ? 32 : 52));
static_assert(offsetof(AEffect, flags) == (kAbi32 ? 36 : 56));
static_assert(offsetof(AEffect, resvd1) == (kAbi32 ? 40 : 64));
static_assert(offsetof(AEffect, resvd2) == (kAbi32 ? 44 : 72));
static_assert(offsetof(AEffect, initialDelay) == (kAbi32 ? 48 : 80));
static_assert(offsetof(AEffect, realQualities) == (kAbi32 ? 52 : 84));
static_assert(offsetof(AEffect, offQualities) == (kAbi32 ? 56 : 88));
static_assert(offsetof(AEffect, ioRatio) == (kAbi32 ? 60 : 92));
static_assert(offsetof(AEffect, object) == (kAbi32 ? 64 : 96));
static_assert(offsetof(AEffect, user) == (kAbi32 ? 68 : 104));
static_assert(offsetof(AEffect, uniqueID) == (kAbi32 ? 72 : 112));
static_assert(offsetof(AEffect, version) == (kAbi32 ? 76 : 116));
static_assert(offsetof(AEffect, processReplacing) == (kAbi32 ? 80 : 120));
static_assert(offsetof(AEffect, processDoubleReplacing) == (kAbi32 ? 84 : 128));
static_assert(offsetof(AEffect, future) == (kAbi32 ? 88 : 136));
static_assert(sizeof(AEffect) == (kAbi32 ? 144 : 192));

static_assert(sizeof(ERect) == 8 && offsetof(ERect, left) == 2 && offsetof(ERect, right) == 6);
static_assert(sizeof(VstEvent) == 32 && offsetof(VstEvent, data) == 16);
static_assert(sizeof(VstMidiEvent) == 32);
static_assert(offsetof(VstMidiEvent, midiData) == 24 && offsetof(VstMidiEvent, detune) == 28);
static_assert(offsetof(VstMidiEvent, reserved2) == 31);
static_assert(offsetof(VstMidiSysexEvent, resvd1) == (kAbi32 ? 20 : 24));
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == (kAbi32 ? 24 : 32));
static_assert(sizeof(VstMidiSysexEvent) == (kAbi32 ? 32 : 48));
static_assert(offsetof(VstEvents, events) == (kAbi32 ? 8 : 16));
static_assert(sizeof(VstEvents) == (kAbi32 ? 16 : 32));
static_assert(sizeof(VstTimeInfo) == 88);
static_assert(offsetof(VstTimeInfo, tempo) == 32 && offsetof(VstTimeInfo, timeSigNumerator) == 64);
static_assert(offsetof(VstTimeInfo, flags) == 84);
static_assert(sizeof(VstPinProperties) == 128);
static_assert(offsetof(VstPinProperties, flags) == 64 && offsetof(VstPinProperties, shortLabel) == 72);
static_assert(sizeof(VstSpeakerProperties) == 112 && offsetof(VstSpeakerProperties, type) == 80);
static_assert(sizeof(VstSpeakerArrangement) == 904 && offsetof(VstSpeakerArrangement, speakers) == 8);
static_assert(sizeof(MidiKeyName) == 80 && offsetof(MidiKeyName, keyName) == 8);
static_assert(offsetof(MidiKeyName, flags) == 76);
static_assert(sizeof(VstParameterProperties) == 152);
static_assert(offsetof(VstParameterProperties, flags) == 76);
static_assert(offsetof(VstParameterProperties, shortLabel) == 96);
static_assert(offsetof(VstParameterProperties, categoryLabel) == 112);

} // namespace vst
