#pragma once
// The recording host callback. A plug-in may call its host from any thread and
// at any time, even from inside its entry point before the host knows its
// record; every call is logged into the recorder of the plug-in it came from
// and answered from that plug-in's HostAnswers.
//
// Routing: a registry maps effect records to recorders. Calls made while the
// entry point runs (the record is not yet known) go to the recorder of the
// load in progress on the calling thread; calls that match nothing go to the
// shared OrphanCallbacks() recorder, so nothing is lost.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "vst2/VstAbi.h"

namespace host {

// How the host answers. The defaults describe a modest 2.4 host.
struct HostAnswers {
  vst2::VstIntPtr vstVersion = 2400; // audioMasterVersion; 0 to test a refusal
  float sampleRate = 44100.0f;       // audioMasterGetSampleRate
  vst2::VstIntPtr blockSize = 1024;  // audioMasterGetBlockSize
  std::string vendor = "Nimbrel";    // audioMasterGetVendorString
  std::string product = "vsthost";   // audioMasterGetProductString
  vst2::VstIntPtr vendorVersion = 1; // audioMasterGetVendorVersion
  // Host can-do texts answered 1; every other text is answered 0.
  std::vector<std::string> canDo = {"sizeWindow", "supplyIdle"};
  // Fixed answers by opcode, taking precedence over everything above.
  std::map<vst2::VstInt32, vst2::VstIntPtr> overrides;
};

// One call of the plug-in to its host.
struct CallbackRecord {
  vst2::VstInt32 opcode = 0;
  vst2::VstInt32 index = 0;
  vst2::VstIntPtr value = 0;
  float opt = 0.0f;
  std::string text; // the can-do text of audioMasterCanDo (at most 255 bytes)
  vst2::VstIntPtr answer = 0;
};

// The log and the answer table of one plug-in. Thread-safe.
class CallbackRecorder {
public:
  explicit CallbackRecorder(HostAnswers answers = {});

  // Logs the call and returns the answer for it; `ptr` is written only for the
  // requests that hand the host a buffer (vendor and product strings).
  vst2::VstIntPtr Handle(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void *ptr,
                         float opt);

  std::vector<CallbackRecord> Records() const;
  std::vector<CallbackRecord> Records(vst2::VstInt32 opcode) const;
  std::size_t Count(vst2::VstInt32 opcode) const;
  std::size_t Size() const;
  void Clear();

  HostAnswers Answers() const;
  void SetAnswers(HostAnswers answers);

private:
  vst2::VstIntPtr Answer(const HostAnswers &answers, vst2::VstInt32 opcode, void *ptr, std::string &text);

  mutable std::mutex mutex_;
  HostAnswers answers_;
  std::vector<CallbackRecord> records_;
};

// The callback handed to every plug-in's entry point.
vst2::VstIntPtr NIMBREL_VSTCALL RecordingHostCallback(vst2::AEffect *effect, vst2::VstInt32 opcode,
                                                      vst2::VstInt32 index, vst2::VstIntPtr value, void *ptr,
                                                      float opt);

// Calls that matched no plug-in.
CallbackRecorder &OrphanCallbacks();

// Registry plumbing used by Plugin.
namespace callback_registry {
void Register(vst2::AEffect *effect, std::shared_ptr<CallbackRecorder> recorder);
void Unregister(vst2::AEffect *effect);

// While alive, calls on this thread that match no registered record go to
// `recorder` (the entry point of a plug-in being loaded).
class LoadingScope {
public:
  explicit LoadingScope(std::shared_ptr<CallbackRecorder> recorder);
  ~LoadingScope();
  LoadingScope(const LoadingScope &) = delete;
  LoadingScope &operator=(const LoadingScope &) = delete;

private:
  std::shared_ptr<CallbackRecorder> previous_;
};
} // namespace callback_registry

} // namespace host
