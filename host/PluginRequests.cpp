// The typed wrappers around the dispatcher and the audio entries.
#include <array>
#include <cstring>

#include "host/HostLibrary.h"

namespace host {

namespace {

// Texts come back through a buffer far larger than any size the interface
// names, zeroed first and terminated at its end whatever the plug-in wrote.
constexpr std::size_t kTextBuffer = 1024;

std::string Terminated(std::array<char, kTextBuffer> &buf) {
  buf.back() = '\0';
  return std::string(buf.data());
}

} // namespace

// ---- ChannelBuffers -------------------------------------------------------

ChannelBuffers::ChannelBuffers(int channels, int frames) : frames_(frames < 0 ? 0 : frames) {
  data_.assign(static_cast<std::size_t>(channels < 0 ? 0 : channels),
               std::vector<float>(static_cast<std::size_t>(frames_), 0.0f));
  Repoint();
}

ChannelBuffers::ChannelBuffers(const ChannelBuffers &other) : frames_(other.frames_), data_(other.data_) {
  Repoint();
}

ChannelBuffers &ChannelBuffers::operator=(const ChannelBuffers &other) {
  if (this != &other) {
    frames_ = other.frames_;
    data_ = other.data_;
    Repoint();
  }
  return *this;
}

void ChannelBuffers::Repoint() {
  pointers_.clear();
  for (auto &c : data_) pointers_.push_back(c.data());
}

void ChannelBuffers::Clear() {
  for (auto &c : data_) std::fill(c.begin(), c.end(), 0.0f);
}

// ---- Lifecycle ------------------------------------------------------------

void Plugin::SetSampleRate(float rate) { Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, rate); }
void Plugin::SetBlockSize(vst2::VstInt32 frames) { Dispatch(vst2::effSetBlockSize, 0, frames); }
void Plugin::Resume() { Dispatch(vst2::effMainsChanged, 0, 1); }
void Plugin::Suspend() { Dispatch(vst2::effMainsChanged, 0, 0); }
void Plugin::SetBlockSizeAndSampleRate(vst2::VstInt32 frames, float rate) {
  Dispatch(vst2::effSetBlockSizeAndSampleRate, 0, frames, nullptr, rate);
}

// ---- Programs -------------------------------------------------------------

vst2::VstInt32 Plugin::Program() { return static_cast<vst2::VstInt32>(Dispatch(vst2::effGetProgram)); }

void Plugin::SetProgram(vst2::VstInt32 program) { Dispatch(vst2::effSetProgram, 0, program); }

std::string Plugin::ProgramName() { return TextRequest(vst2::effGetProgramName, 0); }

void Plugin::SetProgramName(const std::string &name) {
  // Hosts hand at most kVstMaxProgNameLen bytes; keep to it.
  std::array<char, vst2::kVstMaxProgNameLen> buf{};
  std::strncpy(buf.data(), name.c_str(), buf.size() - 1);
  Dispatch(vst2::effSetProgramName, 0, 0, buf.data());
}

std::optional<std::string> Plugin::ProgramNameIndexed(vst2::VstInt32 index) {
  std::array<char, kTextBuffer> buf{};
  if (Dispatch(vst2::effGetProgramNameIndexed, index, -1, buf.data()) == 0) return std::nullopt;
  return Terminated(buf);
}

// ---- Parameters -----------------------------------------------------------

void Plugin::CheckParameterIndex(vst2::VstInt32 index) const {
  CheckAlive();
  if (index < 0 || index >= effect_->numParams)
    throw HostError("parameter index " + std::to_string(index) + " out of range (the plug-in has " +
                    std::to_string(effect_->numParams) + ")");
}

float Plugin::Parameter(vst2::VstInt32 index) {
  CheckParameterIndex(index);
  PrepareCall();
  return effect_->getParameter(effect_, index);
}

void Plugin::SetParameter(vst2::VstInt32 index, float value) {
  CheckParameterIndex(index);
  PrepareCall();
  effect_->setParameter(effect_, index, value);
}

std::string Plugin::TextRequest(vst2::VstInt32 opcode, vst2::VstInt32 index) {
  std::array<char, kTextBuffer> buf{};
  Dispatch(opcode, index, 0, buf.data());
  return Terminated(buf);
}

std::string Plugin::ParameterName(vst2::VstInt32 index) {
  CheckParameterIndex(index);
  return TextRequest(vst2::effGetParamName, index);
}

std::string Plugin::ParameterLabel(vst2::VstInt32 index) {
  CheckParameterIndex(index);
  return TextRequest(vst2::effGetParamLabel, index);
}

std::string Plugin::ParameterDisplay(vst2::VstInt32 index) {
  CheckParameterIndex(index);
  return TextRequest(vst2::effGetParamDisplay, index);
}

bool Plugin::SetParameterFromText(vst2::VstInt32 index, const std::string &text) {
  CheckParameterIndex(index);
  std::string copy = text; // the plug-in receives a writable, terminated copy
  return Dispatch(vst2::effString2Parameter, index, 0, copy.data()) != 0;
}

bool Plugin::CanBeAutomated(vst2::VstInt32 index) {
  CheckParameterIndex(index);
  return Dispatch(vst2::effCanBeAutomated, index) != 0;
}

// ---- Description ----------------------------------------------------------

vst2::VstIntPtr Plugin::CanDo(const std::string &text) {
  std::string copy = text;
  return Dispatch(vst2::effCanDo, 0, 0, copy.data());
}

std::optional<vst2::VstPinProperties> Plugin::PinRequest(vst2::VstInt32 opcode, vst2::VstInt32 index) {
  vst2::VstPinProperties pin{};
  if (Dispatch(opcode, index, 0, &pin) == 0) return std::nullopt;
  pin.label[sizeof pin.label - 1] = '\0';
  pin.shortLabel[sizeof pin.shortLabel - 1] = '\0';
  return pin;
}

std::optional<vst2::VstPinProperties> Plugin::InputProperties(vst2::VstInt32 index) {
  return PinRequest(vst2::effGetInputProperties, index);
}

std::optional<vst2::VstPinProperties> Plugin::OutputProperties(vst2::VstInt32 index) {
  return PinRequest(vst2::effGetOutputProperties, index);
}

vst2::VstInt32 Plugin::Category() { return static_cast<vst2::VstInt32>(Dispatch(vst2::effGetPlugCategory)); }
std::string Plugin::EffectName() { return TextRequest(vst2::effGetEffectName, 0); }
std::string Plugin::VendorString() { return TextRequest(vst2::effGetVendorString, 0); }
std::string Plugin::ProductString() { return TextRequest(vst2::effGetProductString, 0); }
vst2::VstInt32 Plugin::VendorVersion() {
  return static_cast<vst2::VstInt32>(Dispatch(vst2::effGetVendorVersion));
}
vst2::VstInt32 Plugin::VstVersion() { return static_cast<vst2::VstInt32>(Dispatch(vst2::effGetVstVersion)); }
vst2::VstInt32 Plugin::TailSize() { return static_cast<vst2::VstInt32>(Dispatch(vst2::effGetTailSize)); }
vst2::VstIntPtr Plugin::KeysRequired() { return Dispatch(vst2::effKeysRequired); }
vst2::VstIntPtr Plugin::SetBypass(bool bypass) { return Dispatch(vst2::effSetBypass, 0, bypass ? 1 : 0); }

float Plugin::Vu() {
  // Old hosts read the answer as a float scaled by 32767.
  return static_cast<float>(Dispatch(vst2::effGetVu)) / 32767.0f;
}

vst2::VstIntPtr Plugin::ParameterPropertiesAnswer(vst2::VstInt32 index) {
  CheckParameterIndex(index);
  std::array<char, kTextBuffer> scratch{};
  return Dispatch(vst2::effGetParameterProperties, index, 0, scratch.data());
}

// ---- Audio ----------------------------------------------------------------

void Plugin::CheckBuffers(ChannelBuffers &inputs, ChannelBuffers &outputs, int frames) const {
  CheckAlive();
  if (frames < 0) throw HostError("negative frame count " + std::to_string(frames));
  if (inputs.Channels() < effect_->numInputs || outputs.Channels() < effect_->numOutputs)
    throw HostError("fewer channel buffers than the plug-in has channels (" + std::to_string(inputs.Channels()) +
                    " in, " + std::to_string(outputs.Channels()) + " out for " +
                    std::to_string(effect_->numInputs) + " in, " + std::to_string(effect_->numOutputs) + " out)");
  if ((effect_->numInputs > 0 && inputs.Frames() < frames) || (effect_->numOutputs > 0 && outputs.Frames() < frames))
    throw HostError("channel buffers shorter than the block of " + std::to_string(frames) + " frames");
}

void Plugin::ProcessReplacing(ChannelBuffers &inputs, ChannelBuffers &outputs, int frames) {
  CheckBuffers(inputs, outputs, frames);
  if (effect_->processReplacing == nullptr) throw HostError(path_ + ": no replacing process entry");
  PrepareCall();
  effect_->processReplacing(effect_, inputs.Pointers(), outputs.Pointers(), frames);
}

void Plugin::ProcessAccumulating(ChannelBuffers &inputs, ChannelBuffers &outputs, int frames) {
  CheckBuffers(inputs, outputs, frames);
  if (effect_->process == nullptr) throw HostError(path_ + ": no accumulating process entry");
  PrepareCall();
  effect_->process(effect_, inputs.Pointers(), outputs.Pointers(), frames);
}

// ---- Editor ---------------------------------------------------------------

std::optional<vst2::ERect> Plugin::EditorRect() {
  vst2::ERect *rect = nullptr;
  if (Dispatch(vst2::effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr) return std::nullopt;
  return *rect;
}

bool Plugin::OpenEditor(void *parent) {
  if (!HasEditor()) return false;
  editorOpen_ = Dispatch(vst2::effEditOpen, 0, 0, parent) != 0;
  return editorOpen_;
}

void Plugin::CloseEditor() {
  Dispatch(vst2::effEditClose);
  editorOpen_ = false;
}

void Plugin::EditorIdle() { Dispatch(vst2::effEditIdle); }

bool Plugin::SelectHeadless() {
  return Dispatch(vst2::effVendorSpecific, vst2::kHeadlessVendorCode, vst2::kHeadlessSelect) == 1;
}

std::optional<EditorImage> Plugin::RenderEditor(int width, int height) {
  if (width <= 0 || height <= 0) {
    auto rect = EditorRect();
    if (!rect) return std::nullopt;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
  }
  constexpr int kMaxSide = 16384;
  // The editor copies its form packed, row after row at the form's own width,
  // and reports the form's size; a buffer too small for it is refused with
  // the size it needs, so one retry at that size follows.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return std::nullopt;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    vst2::HeadlessImage request{pixels.data(), width, height};
    const bool copied =
        Dispatch(vst2::effVendorSpecific, vst2::kHeadlessVendorCode, vst2::kHeadlessRender, &request) != 0;
    const long long reported = static_cast<long long>(request.width) * request.height;
    const bool fits = request.width > 0 && request.height > 0 && reported <= static_cast<long long>(pixels.size());
    if (copied && fits) {
      pixels.resize(static_cast<std::size_t>(reported));
      return EditorImage{request.width, request.height, std::move(pixels)};
    }
    if (copied || fits) return std::nullopt; // refused for another reason, or an impossible answer
    width = request.width;
    height = request.height;
  }
  return std::nullopt;
}

bool Plugin::Mouse(vst2::HeadlessMouseKind kind, vst2::HeadlessMouseButton button, int x, int y) {
  vst2::HeadlessMouse event{kind, button, x, y};
  return Dispatch(vst2::effVendorSpecific, vst2::kHeadlessVendorCode, vst2::kHeadlessMouse, &event) != 0;
}

void Plugin::Click(int x, int y) {
  Mouse(vst2::kMouseDown, vst2::kButtonLeft, x, y);
  Mouse(vst2::kMouseUp, vst2::kButtonLeft, x, y);
}

void Plugin::Drag(int x1, int y1, int x2, int y2, int steps) {
  if (steps < 1) steps = 1;
  Mouse(vst2::kMouseDown, vst2::kButtonLeft, x1, y1);
  for (int i = 1; i <= steps; ++i)
    Mouse(vst2::kMouseMove, vst2::kButtonLeft, x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps);
  Mouse(vst2::kMouseUp, vst2::kButtonLeft, x2, y2);
}

void Plugin::AdvanceClock(int milliseconds) {
  Dispatch(vst2::effVendorSpecific, vst2::kHeadlessVendorCode, vst2::kHeadlessAdvance, nullptr,
           static_cast<float>(milliseconds));
}

} // namespace host
