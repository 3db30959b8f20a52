#pragma once
// Our declarations of the VST 2.4 plug-in binary interface, written from the
// published ABI: the effect record, the dispatcher and host-callback opcodes,
// flags, pin properties, categories and the plug-in can-do list. Nothing here
// knows a plug-in; the module framework (VstModule.h) builds on it.
#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define NIMBREL_VSTCALL __cdecl
#else
#define NIMBREL_VSTCALL
#endif

namespace vst2 {

struct AEffect;

using VstIntPtr = std::intptr_t;
using VstInt32 = std::int32_t;

// Host callback ("audio master") and the plug-in entries, C calling convention.
using HostCallback = VstIntPtr(NIMBREL_VSTCALL *)(AEffect *effect, VstInt32 opcode, VstInt32 index,
                                                  VstIntPtr value, void *ptr, float opt);
using DispatcherProc = VstIntPtr(NIMBREL_VSTCALL *)(AEffect *effect, VstInt32 opcode, VstInt32 index,
                                                    VstIntPtr value, void *ptr, float opt);
using ProcessProc = void(NIMBREL_VSTCALL *)(AEffect *effect, float **inputs, float **outputs,
                                            VstInt32 sampleFrames);
using ProcessDoubleProc = void(NIMBREL_VSTCALL *)(AEffect *effect, double **inputs, double **outputs,
                                                  VstInt32 sampleFrames);
using SetParameterProc = void(NIMBREL_VSTCALL *)(AEffect *effect, VstInt32 index, float value);
using GetParameterProc = float(NIMBREL_VSTCALL *)(AEffect *effect, VstInt32 index);
using EntryProc = AEffect *(NIMBREL_VSTCALL *)(HostCallback host);

// Four-character code, first character in the most significant byte.
constexpr VstInt32 FourCC(char a, char b, char c, char d) {
  return static_cast<VstInt32>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                               (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                               (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                               static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

constexpr VstInt32 kEffectMagic = FourCC('V', 's', 't', 'P');

// The effect record the plug-in hands to the host.
struct AEffect {
  VstInt32 magic;
  DispatcherProc dispatcher;
  ProcessProc process; // accumulating (deprecated in 2.4, still called by old hosts)
  SetParameterProc setParameter;
  GetParameterProc getParameter;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 numInputs;
  VstInt32 numOutputs;
  VstInt32 flags;
  VstIntPtr resvd1;
  VstIntPtr resvd2;
  VstInt32 initialDelay;
  VstInt32 realQualities;
  VstInt32 offQualities;
  float ioRatio;
  void *object;
  void *user;
  VstInt32 uniqueID;
  VstInt32 version;
  ProcessProc processReplacing;
  ProcessDoubleProc processDoubleReplacing;
  char future[56];
};

#if INTPTR_MAX == INT32_MAX
static_assert(offsetof(AEffect, dispatcher) == 4);
static_assert(offsetof(AEffect, numPrograms) == 20);
static_assert(offsetof(AEffect, flags) == 36);
static_assert(offsetof(AEffect, initialDelay) == 48);
static_assert(offsetof(AEffect, object) == 64);
static_assert(offsetof(AEffect, user) == 68);
static_assert(offsetof(AEffect, uniqueID) == 72);
static_assert(offsetof(AEffect, processReplacing) == 80);
static_assert(sizeof(AEffect) == 144);
#else
static_assert(offsetof(AEffect, dispatcher) == 8);
static_assert(offsetof(AEffect, numPrograms) == 40);
static_assert(offsetof(AEffect, flags) == 56);
static_assert(offsetof(AEffect, initialDelay) == 80);
static_assert(offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, user) == 104);
static_assert(offsetof(AEffect, uniqueID) == 112);
static_assert(offsetof(AEffect, processReplacing) == 120);
static_assert(sizeof(AEffect) == 192);
#endif

// Effect flags.
enum : VstInt32 {
  effFlagsHasEditor = 1 << 0,
  effFlagsHasClip = 1 << 1, // deprecated
  effFlagsHasVu = 1 << 2,   // deprecated
  effFlagsCanMono = 1 << 3, // deprecated
  effFlagsCanReplacing = 1 << 4,
  effFlagsProgramChunks = 1 << 5,
  effFlagsIsSynth = 1 << 8,
  effFlagsNoSoundInStop = 1 << 9,
  effFlagsExtIsAsync = 1 << 10,   // deprecated
  effFlagsExtHasBuffer = 1 << 11, // deprecated
  effFlagsCanDoubleReplacing = 1 << 12,
};

// Dispatcher opcodes (host to plug-in).
enum : VstInt32 {
  effOpen = 0,
  effClose = 1,
  effSetProgram = 2,
  effGetProgram = 3,
  effSetProgramName = 4,
  effGetProgramName = 5,
  effGetParamLabel = 6,
  effGetParamDisplay = 7,
  effGetParamName = 8,
  effGetVu = 9, // deprecated
  effSetSampleRate = 10,
  effSetBlockSize = 11,
  effMainsChanged = 12,
  effEditGetRect = 13,
  effEditOpen = 14,
  effEditClose = 15,
  effEditDraw = 16,  // deprecated
  effEditMouse = 17, // deprecated
  effEditKey = 18,   // deprecated
  effEditIdle = 19,
  effEditTop = 20,   // deprecated
  effEditSleep = 21, // deprecated
  effIdentify = 22,  // deprecated
  effGetChunk = 23,
  effSetChunk = 24,
  effProcessEvents = 25,
  effCanBeAutomated = 26,
  effString2Parameter = 27,
  effGetNumProgramCategories = 28, // deprecated
  effGetProgramNameIndexed = 29,
  effCopyProgram = 30,  // deprecated
  effConnectInput = 31, // deprecated
  effConnectOutput = 32,
  effGetInputProperties = 33,
  effGetOutputProperties = 34,
  effGetPlugCategory = 35,
  effGetCurrentPosition = 36,   // deprecated
  effGetDestinationBuffer = 37, // deprecated
  effOfflineNotify = 38,
  effOfflinePrepare = 39,
  effOfflineRun = 40,
  effProcessVarIo = 41,
  effSetSpeakerArrangement = 42,
  effSetBlockSizeAndSampleRate = 43, // deprecated
  effSetBypass = 44,
  effGetEffectName = 45,
  effGetErrorText = 46, // deprecated
  effGetVendorString = 47,
  effGetProductString = 48,
  effGetVendorVersion = 49,
  effVendorSpecific = 50,
  effCanDo = 51,
  effGetTailSize = 52,
  effIdle = 53, // deprecated
  effGetIcon = 54,
  effSetViewPosition = 55,
  effGetParameterProperties = 56,
  effKeysRequired = 57, // deprecated
  effGetVstVersion = 58,
  effEditKeyDown = 59,
  effEditKeyUp = 60,
  effSetEditKnobMode = 61,
  effGetMidiProgramName = 62,
  effGetCurrentMidiProgram = 63,
  effGetMidiProgramCategory = 64,
  effHasMidiProgramsChanged = 65,
  effGetMidiKeyName = 66,
  effBeginSetProgram = 67,
  effEndSetProgram = 68,
  effGetSpeakerArrangement = 69,
  effShellGetNextPlugin = 70,
  effStartProcess = 71,
  effStopProcess = 72,
  effSetTotalSampleToProcess = 73,
  effSetPanLaw = 74,
  effBeginLoadBank = 75,
  effBeginLoadProgram = 76,
  effSetProcessPrecision = 77,
  effGetNumMidiInputChannels = 78,
  effGetNumMidiOutputChannels = 79,
};

// Host callback opcodes (plug-in to host).
enum : VstInt32 {
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterCurrentId = 2,
  audioMasterIdle = 3,
  audioMasterPinConnected = 4, // deprecated
  audioMasterWantMidi = 6,     // deprecated
  audioMasterGetTime = 7,
  audioMasterProcessEvents = 8,
  audioMasterIOChanged = 13,
  audioMasterSizeWindow = 15,
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetInputLatency = 18,
  audioMasterGetOutputLatency = 19,
  audioMasterGetCurrentProcessLevel = 23,
  audioMasterGetAutomationState = 24,
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterVendorSpecific = 35,
  audioMasterCanDo = 37,
  audioMasterGetLanguage = 38,
  audioMasterGetDirectory = 41,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44,
};

// Plug-in categories.
enum VstPlugCategory : VstInt32 {
  kPlugCategUnknown = 0,
  kPlugCategEffect = 1,
  kPlugCategSynth = 2,
  kPlugCategAnalysis = 3,
  kPlugCategMastering = 4,
  kPlugCategSpacializer = 5,
  kPlugCategRoomFx = 6,
  kPlugSurroundFx = 7,
  kPlugCategRestoration = 8,
  kPlugCategOfflineProcess = 9,
  kPlugCategShell = 10,
  kPlugCategGenerator = 11,
};

// Buffer sizes of the text requests, terminator included. Hosts commonly pass
// buffers of exactly these sizes, so every text copied out is cut to them.
enum : std::size_t {
  kVstMaxProgNameLen = 24,
  kVstMaxParamStrLen = 24, // parameter name, label and display (the published 8 is too small in practice)
  kVstMaxEffectNameLen = 32,
  kVstMaxVendorStrLen = 64,
  kVstMaxProductStrLen = 64,
};

// Pin properties (effGetInputProperties / effGetOutputProperties).
enum : VstInt32 {
  kVstPinIsActive = 1 << 0,
  kVstPinIsStereo = 1 << 1,
  kVstPinUseSpeaker = 1 << 2,
};

struct VstPinProperties {
  char label[64];
  VstInt32 flags;
  VstInt32 arrangementType;
  char shortLabel[8];
  char future[48];
};
static_assert(sizeof(VstPinProperties) == 128);

// Editor rectangle (effEditGetRect hands out a pointer to one).
struct ERect {
  std::int16_t top;
  std::int16_t left;
  std::int16_t bottom;
  std::int16_t right;
};
static_assert(sizeof(ERect) == 8);

// The plug-in can-do texts of the VST 2.4 list, in their published order.
inline constexpr const char *kPlugCanDos[] = {
    "sendVstEvents",     "sendVstMidiEvent", "sendVstTimeInfo", "receiveVstEvents", "receiveVstMidiEvent",
    "receiveVstTimeInfo", "offline",         "plugAsChannelInsert", "plugAsSend",   "mixDryWet",
    "noRealTime",        "multipass",        "metapass",        "1in1out",          "1in2out",
    "2in1out",           "2in2out",          "2in4out",         "4in2out",          "4in4out",
    "4in8out",           "8in4out",          "8in8out",         "midiProgramNames", "conformsToWindowRules",
    "bypass",
};

} // namespace vst2
