#include "host/HostCallback.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace host {

namespace {

// Copies `text` into a plug-in's buffer of `capacity` bytes, terminator forced.
void CopyOut(void *ptr, const std::string &text, std::size_t capacity) {
  if (ptr == nullptr || capacity == 0) return;
  const std::size_t n = std::min(text.size(), capacity - 1);
  std::memcpy(ptr, text.data(), n);
  static_cast<char *>(ptr)[n] = '\0';
}

// Reads a plug-in's text argument without running past `limit` bytes.
std::string ReadText(const void *ptr, std::size_t limit) {
  if (ptr == nullptr) return {};
  const char *s = static_cast<const char *>(ptr);
  const void *end = std::memchr(s, '\0', limit);
  const std::size_t n = end ? static_cast<std::size_t>(static_cast<const char *>(end) - s) : limit;
  return std::string(s, n);
}

struct Registry {
  std::mutex mutex;
  std::unordered_map<vst2::AEffect *, std::shared_ptr<CallbackRecorder>> byEffect;
};

Registry &TheRegistry() {
  static Registry registry;
  return registry;
}

thread_local std::shared_ptr<CallbackRecorder> tLoading;

std::shared_ptr<CallbackRecorder> Route(vst2::AEffect *effect) {
  if (effect != nullptr) {
    Registry &r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto it = r.byEffect.find(effect);
    if (it != r.byEffect.end()) return it->second;
  }
  return tLoading;
}

} // namespace

CallbackRecorder::CallbackRecorder(HostAnswers answers) : answers_(std::move(answers)) {}

vst2::VstIntPtr CallbackRecorder::Answer(const HostAnswers &a, vst2::VstInt32 opcode, void *ptr,
                                         std::string &text) {
  if (auto it = a.overrides.find(opcode); it != a.overrides.end()) return it->second;
  switch (opcode) {
  case vst2::audioMasterVersion:
    return a.vstVersion;
  case vst2::audioMasterGetSampleRate:
    return static_cast<vst2::VstIntPtr>(a.sampleRate);
  case vst2::audioMasterGetBlockSize:
    return a.blockSize;
  case vst2::audioMasterGetVendorString:
    CopyOut(ptr, a.vendor, vst2::kVstMaxVendorStrLen);
    return ptr != nullptr;
  case vst2::audioMasterGetProductString:
    CopyOut(ptr, a.product, vst2::kVstMaxProductStrLen);
    return ptr != nullptr;
  case vst2::audioMasterGetVendorVersion:
    return a.vendorVersion;
  case vst2::audioMasterGetLanguage:
    return 1; // English
  case vst2::audioMasterCanDo:
    text = ReadText(ptr, 255);
    return std::find(a.canDo.begin(), a.canDo.end(), text) != a.canDo.end() ? 1 : 0;
  case vst2::audioMasterSizeWindow:
  case vst2::audioMasterUpdateDisplay:
  case vst2::audioMasterIOChanged:
    return 1;
  default:
    // Automation, idle, begin/end edit, time info (we keep none) and anything
    // unknown: acknowledged with 0.
    return 0;
  }
}

vst2::VstIntPtr CallbackRecorder::Handle(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value,
                                         void *ptr, float opt) {
  std::lock_guard lock(mutex_);
  CallbackRecord record;
  record.opcode = opcode;
  record.index = index;
  record.value = value;
  record.opt = opt;
  record.answer = Answer(answers_, opcode, ptr, record.text);
  records_.push_back(record);
  return record.answer;
}

std::vector<CallbackRecord> CallbackRecorder::Records() const {
  std::lock_guard lock(mutex_);
  return records_;
}

std::vector<CallbackRecord> CallbackRecorder::Records(vst2::VstInt32 opcode) const {
  std::lock_guard lock(mutex_);
  std::vector<CallbackRecord> out;
  for (const auto &r : records_)
    if (r.opcode == opcode) out.push_back(r);
  return out;
}

std::size_t CallbackRecorder::Count(vst2::VstInt32 opcode) const {
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(
      std::count_if(records_.begin(), records_.end(), [opcode](const auto &r) { return r.opcode == opcode; }));
}

std::size_t CallbackRecorder::Size() const {
  std::lock_guard lock(mutex_);
  return records_.size();
}

void CallbackRecorder::Clear() {
  std::lock_guard lock(mutex_);
  records_.clear();
}

HostAnswers CallbackRecorder::Answers() const {
  std::lock_guard lock(mutex_);
  return answers_;
}

void CallbackRecorder::SetAnswers(HostAnswers answers) {
  std::lock_guard lock(mutex_);
  answers_ = std::move(answers);
}

CallbackRecorder &OrphanCallbacks() {
  static CallbackRecorder orphans;
  return orphans;
}

vst2::VstIntPtr NIMBREL_VSTCALL RecordingHostCallback(vst2::AEffect *effect, vst2::VstInt32 opcode,
                                                      vst2::VstInt32 index, vst2::VstIntPtr value, void *ptr,
                                                      float opt) {
  std::shared_ptr<CallbackRecorder> recorder = Route(effect);
  if (recorder) return recorder->Handle(opcode, index, value, ptr, opt);
  return OrphanCallbacks().Handle(opcode, index, value, ptr, opt);
}

namespace callback_registry {

void Register(vst2::AEffect *effect, std::shared_ptr<CallbackRecorder> recorder) {
  Registry &r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.byEffect[effect] = std::move(recorder);
}

void Unregister(vst2::AEffect *effect) {
  Registry &r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.byEffect.erase(effect);
}

LoadingScope::LoadingScope(std::shared_ptr<CallbackRecorder> recorder) : previous_(std::move(tLoading)) {
  tLoading = std::move(recorder);
}

LoadingScope::~LoadingScope() { tLoading = std::move(previous_); }

} // namespace callback_registry

} // namespace host
