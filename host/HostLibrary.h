#pragma once
// The host library: loads a VST 2 plug-in file, checks the effect record it
// hands back, and drives it through typed wrappers around the dispatcher and
// the audio entries. Every callback the plug-in makes is recorded per plug-in
// (see HostCallback.h) and answered from a configurable table.
//
// Nothing a plug-in returns is trusted blindly: the record's magic, entries and
// counts are checked at load; texts come back through generous zeroed buffers
// whose last byte is forced to a terminator; audio calls check the channel
// buffers against the record's channel counts before the plug-in sees them.
//
// Errors are reported as HostError exceptions with a one-line message, or,
// through TryLoad, as a LoadResult that holds either the plug-in or the message.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/HostCallback.h"
#include "vst2/HeadlessEditor.h"
#include "vst2/VstAbi.h"

namespace host {

// A one-line description of what went wrong.
class HostError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Limits beyond which a record's counts are taken as garbage.
inline constexpr vst2::VstInt32 kMaxSaneChannels = 256;
inline constexpr vst2::VstInt32 kMaxSaneParameters = 100000;
inline constexpr vst2::VstInt32 kMaxSanePrograms = 100000;

struct LoadOptions {
  // The plug-in must offer at least these many channels, else loading fails.
  vst2::VstInt32 minInputs = 0;
  vst2::VstInt32 minOutputs = 0;
  // How the host callback answers this plug-in (VST version and so on).
  HostAnswers answers;
  // Unload the library when the Plugin object goes. Some third-party plug-ins
  // keep memory referenced from their globals until the process ends; left
  // loaded, they neither crash on a later call of theirs nor look leaky.
  bool unloadWhenDone = true;
  // The x87 control word to load before every call into the plug-in (entry,
  // dispatcher, parameter and audio entries), as a host thread with that
  // setting would have it: 0x027F is the 53-bit precision Windows gives every
  // thread. Empty: the calling thread's own setting. Ignored off x86.
  std::optional<std::uint16_t> x87ControlWord = std::nullopt;
};

// One pixel image of a headless editor render, 0xAARRGGBB row after row.
struct EditorImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// Non-interleaved audio: a fixed number of channels of `frames` samples each,
// with a stable array of channel pointers for the process entries.
class ChannelBuffers {
public:
  ChannelBuffers() = default;
  ChannelBuffers(int channels, int frames);
  ChannelBuffers(const ChannelBuffers &other);
  ChannelBuffers &operator=(const ChannelBuffers &other);
  ChannelBuffers(ChannelBuffers &&) noexcept = default;
  ChannelBuffers &operator=(ChannelBuffers &&) noexcept = default;

  int Channels() const { return static_cast<int>(data_.size()); }
  int Frames() const { return frames_; }
  float *Channel(int c) { return data_.at(static_cast<std::size_t>(c)).data(); }
  const float *Channel(int c) const { return data_.at(static_cast<std::size_t>(c)).data(); }
  float **Pointers() { return pointers_.data(); }
  void Clear();

private:
  void Repoint();
  int frames_ = 0;
  std::vector<std::vector<float>> data_;
  std::vector<float *> pointers_;
};

class Plugin;

struct LoadResult {
  std::unique_ptr<Plugin> plugin;
  std::string error; // empty when plugin is set
  explicit operator bool() const { return plugin != nullptr; }
};

class Plugin {
public:
  // Loads PATH (dlopen, RTLD_LOCAL | RTLD_NOW), calls its entry point
  // (VSTPluginMain, else main) with our host callback and checks the record.
  // Throws HostError with a one-line message on every failure.
  static std::unique_ptr<Plugin> Load(const std::string &path, const LoadOptions &options = {});
  // As Load, with the message in the result instead of an exception.
  static LoadResult TryLoad(const std::string &path, const LoadOptions &options = {});

  ~Plugin();
  Plugin(const Plugin &) = delete;
  Plugin &operator=(const Plugin &) = delete;

  const std::string &Path() const { return path_; }
  const vst2::AEffect &Effect() const { return *effect_; }
  vst2::AEffect *RawEffect() { return effect_; }
  CallbackRecorder &Callbacks() { return *recorder_; }
  const CallbackRecorder &Callbacks() const { return *recorder_; }

  // Record fields.
  vst2::VstInt32 NumPrograms() const { return effect_->numPrograms; }
  vst2::VstInt32 NumParameters() const { return effect_->numParams; }
  vst2::VstInt32 NumInputs() const { return effect_->numInputs; }
  vst2::VstInt32 NumOutputs() const { return effect_->numOutputs; }
  vst2::VstInt32 Flags() const { return effect_->flags; }
  vst2::VstInt32 UniqueId() const { return effect_->uniqueID; }
  vst2::VstInt32 Version() const { return effect_->version; }
  bool HasEditor() const { return (effect_->flags & vst2::effFlagsHasEditor) != 0; }
  bool CanReplace() const { return (effect_->flags & vst2::effFlagsCanReplacing) != 0; }
  bool IsClosed() const { return closed_; }

  // The raw dispatcher, for tests. Throws HostError once the plug-in is closed.
  vst2::VstIntPtr Dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index = 0, vst2::VstIntPtr value = 0,
                           void *ptr = nullptr, float opt = 0.0f);

  // Lifecycle.
  void Open();
  // Sends effClose; the record is dead afterwards (later calls throw). The
  // destructor closes a plug-in that is still open.
  void Close();
  void SetSampleRate(float rate);
  void SetBlockSize(vst2::VstInt32 frames);
  void Resume();
  void Suspend();
  void SetBlockSizeAndSampleRate(vst2::VstInt32 frames, float rate); // the older combined request

  // Programs.
  vst2::VstInt32 Program();
  void SetProgram(vst2::VstInt32 program);
  std::string ProgramName();
  void SetProgramName(const std::string &name);
  // The name of program `index`, or nothing when the plug-in declines.
  std::optional<std::string> ProgramNameIndexed(vst2::VstInt32 index);

  // Parameters. Values are the host's 0..1 scale. An index outside the
  // record's parameter count throws HostError before the plug-in is called.
  float Parameter(vst2::VstInt32 index);
  void SetParameter(vst2::VstInt32 index, float value);
  std::string ParameterName(vst2::VstInt32 index);
  std::string ParameterLabel(vst2::VstInt32 index);
  std::string ParameterDisplay(vst2::VstInt32 index);
  // effString2Parameter; true when the plug-in accepted the text.
  bool SetParameterFromText(vst2::VstInt32 index, const std::string &text);
  bool CanBeAutomated(vst2::VstInt32 index);

  // Description.
  vst2::VstIntPtr CanDo(const std::string &text); // 1 yes, -1 no, 0 don't know
  std::optional<vst2::VstPinProperties> InputProperties(vst2::VstInt32 index);
  std::optional<vst2::VstPinProperties> OutputProperties(vst2::VstInt32 index);
  vst2::VstInt32 Category();
  std::string EffectName();
  std::string VendorString();
  std::string ProductString();
  vst2::VstInt32 VendorVersion();
  vst2::VstInt32 VstVersion();
  vst2::VstInt32 TailSize();
  vst2::VstIntPtr KeysRequired();            // 1: the plug-in needs no keys
  vst2::VstIntPtr SetBypass(bool bypass);    // 1 when the plug-in bypasses softly
  float Vu();                                // the deprecated VU request, as a float
  // The answer to the parameter-properties request; the plug-in writes into a
  // zeroed scratch block far larger than the published structure.
  vst2::VstIntPtr ParameterPropertiesAnswer(vst2::VstInt32 index);

  // Audio. The buffers must hold at least NumInputs() / NumOutputs() channels
  // of at least `frames` samples, else HostError. `frames` must be >= 0.
  void ProcessReplacing(ChannelBuffers &inputs, ChannelBuffers &outputs, int frames);
  void ProcessAccumulating(ChannelBuffers &inputs, ChannelBuffers &outputs, int frames);

  // Editor.
  std::optional<vst2::ERect> EditorRect();
  bool OpenEditor(void *parent = nullptr);
  void CloseEditor();
  void EditorIdle();
  bool EditorIsOpen() const { return editorOpen_; }

  // The headless editor protocol (vst2/HeadlessEditor.h).
  bool SelectHeadless();
  // Renders the open editor at its current size (from EditorRect, or `width`
  // x `height` when given); nothing when the plug-in declines.
  std::optional<EditorImage> RenderEditor(int width = 0, int height = 0);
  bool Mouse(vst2::HeadlessMouseKind kind, vst2::HeadlessMouseButton button, int x, int y);
  void Click(int x, int y);                       // down, up
  void Drag(int x1, int y1, int x2, int y2, int steps = 8); // down, moves, up
  void AdvanceClock(int milliseconds);

private:
  Plugin() = default;
  void CheckParameterIndex(vst2::VstInt32 index) const;
  void CheckAlive() const;
  std::string TextRequest(vst2::VstInt32 opcode, vst2::VstInt32 index);
  std::optional<vst2::VstPinProperties> PinRequest(vst2::VstInt32 opcode, vst2::VstInt32 index);
  void CheckBuffers(ChannelBuffers &inputs, ChannelBuffers &outputs, int frames) const;
  void PrepareCall() const; // the host thread's floating-point setting (LoadOptions)

  std::string path_;
  void *library_ = nullptr;
  vst2::AEffect *effect_ = nullptr;
  std::shared_ptr<CallbackRecorder> recorder_;
  bool closed_ = false;
  bool editorOpen_ = false;
  bool unload_ = true;
  std::optional<std::uint16_t> x87ControlWord_;
};

// A four-character code as text ("TwrX"), non-printable bytes as '.'.
std::string FourCCText(vst2::VstInt32 code);

} // namespace host
