// Loading a plug-in file and checking what its entry point hands back.
#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/FpuGuard.h"
#include "host/HostLibrary.h"

#if defined(_WIN32)
// Windows: the dl calls below map onto LoadLibraryExA / GetProcAddress /
// FreeLibrary. Paths may use '/' (the tests and the command line do), which
// the loader does not take as a separator; an absolute path loads the DLLs it
// depends on from its own folder first.
namespace {
constexpr int RTLD_LOCAL = 0, RTLD_NOW = 0;
DWORD gLastLoadError = 0;
void *dlopen(const char *path, int) {
  std::string native(path);
  for (char &c : native)
    if (c == '/') c = '\\';
  HMODULE module = ::LoadLibraryExA(native.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  gLastLoadError = module ? 0 : ::GetLastError();
  return reinterpret_cast<void *>(module);
}
void *dlsym(void *library, const char *name) {
  return reinterpret_cast<void *>(::GetProcAddress(static_cast<HMODULE>(library), name));
}
int dlclose(void *library) { return ::FreeLibrary(static_cast<HMODULE>(library)) ? 0 : -1; }
const char *dlerror() {
  static thread_local char text[256];
  if (gLastLoadError == 0 || ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                              gLastLoadError, 0, text, sizeof text, nullptr) == 0)
    std::snprintf(text, sizeof text, "Windows error %lu", static_cast<unsigned long>(gLastLoadError));
  return text;
}
} // namespace
#endif

namespace host {

namespace {

std::string Hex(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", v);
  return buf;
}

// dlerror() text, reduced to one line.
std::string LastDlError() {
  const char *e = dlerror();
  std::string s = e ? e : "unknown error";
  for (char &c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}

bool CountIsSane(vst2::VstInt32 n, vst2::VstInt32 max) { return n >= 0 && n <= max; }

} // namespace

std::string FourCCText(vst2::VstInt32 code) {
  const auto u = static_cast<std::uint32_t>(code);
  std::string s(4, '.');
  for (int i = 0; i < 4; ++i) {
    const unsigned char c = static_cast<unsigned char>(u >> (24 - 8 * i));
    if (c >= 0x20 && c < 0x7F) s[static_cast<std::size_t>(i)] = static_cast<char>(c);
  }
  return s;
}

LoadResult Plugin::TryLoad(const std::string &path, const LoadOptions &options) {
  LoadResult result;
  try {
    result.plugin = Load(path, options);
  } catch (const HostError &e) {
    result.error = e.what();
  }
  return result;
}

std::unique_ptr<Plugin> Plugin::Load(const std::string &path, const LoadOptions &options) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) throw HostError(path + ": no such file");
  if (!S_ISREG(st.st_mode)) throw HostError(path + ": not a regular file");

  void *library = ::dlopen(path.c_str(), RTLD_LOCAL | RTLD_NOW);
  if (library == nullptr) throw HostError(path + ": not a loadable shared library (" + LastDlError() + ")");

  // From here on a failure unloads the library again.
  struct Unloader {
    void *handle;
    ~Unloader() {
      if (handle) ::dlclose(handle);
    }
  } unloader{library};

  void *symbol = ::dlsym(library, "VSTPluginMain");
  if (symbol == nullptr) symbol = ::dlsym(library, "main");
  if (symbol == nullptr) throw HostError(path + ": no entry point (neither VSTPluginMain nor main)");
  vst2::EntryProc entry;
  static_assert(sizeof entry == sizeof symbol);
  std::memcpy(&entry, &symbol, sizeof entry);

  auto recorder = std::make_shared<CallbackRecorder>(options.answers);
  vst2::AEffect *effect;
  {
    callback_registry::LoadingScope scope(recorder);
#if NIMBREL_X86
    if (options.x87ControlWord) nimbrel::WriteX87ControlWord(*options.x87ControlWord);
#endif
    effect = entry(&RecordingHostCallback);
  }
  if (effect == nullptr) throw HostError(path + ": the entry point returned no effect (null)");
  if (effect->magic != vst2::kEffectMagic)
    throw HostError(path + ": wrong magic " + Hex(static_cast<std::uint32_t>(effect->magic)) +
                    " in the effect record (expected 'VstP')");
  if (effect->dispatcher == nullptr) throw HostError(path + ": the effect record has no dispatcher");

  // The record looks like one; a plug-in rejected from here on is closed first.
  auto reject = [&](const std::string &why) {
    effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
    throw HostError(path + ": " + why);
  };
  if (effect->processReplacing == nullptr && effect->process == nullptr)
    reject("the effect record has no process entry");
  if (!CountIsSane(effect->numInputs, kMaxSaneChannels) || !CountIsSane(effect->numOutputs, kMaxSaneChannels))
    reject("absurd channel counts (" + std::to_string(effect->numInputs) + " inputs, " +
           std::to_string(effect->numOutputs) + " outputs)");
  if (!CountIsSane(effect->numParams, kMaxSaneParameters))
    reject("absurd parameter count " + std::to_string(effect->numParams));
  if (!CountIsSane(effect->numPrograms, kMaxSanePrograms))
    reject("absurd program count " + std::to_string(effect->numPrograms));
  if (effect->numParams > 0 && (effect->setParameter == nullptr || effect->getParameter == nullptr))
    reject("the effect record has parameters but no parameter entries");
  if (effect->numInputs < options.minInputs || effect->numOutputs < options.minOutputs)
    reject("fewer channels than asked: " + std::to_string(effect->numInputs) + " in, " +
           std::to_string(effect->numOutputs) + " out (need " + std::to_string(options.minInputs) + " in, " +
           std::to_string(options.minOutputs) + " out)");

  std::unique_ptr<Plugin> plugin(new Plugin());
  plugin->path_ = path;
  plugin->library_ = library;
  plugin->effect_ = effect;
  plugin->recorder_ = recorder;
  plugin->unload_ = options.unloadWhenDone;
  plugin->x87ControlWord_ = options.x87ControlWord;
  unloader.handle = nullptr;
  callback_registry::Register(effect, recorder);
  return plugin;
}

Plugin::~Plugin() {
  if (!closed_) {
    try {
      Close();
    } catch (...) {
    }
  }
  if (effect_) callback_registry::Unregister(effect_);
  if (library_ && unload_) ::dlclose(library_);
}

void Plugin::PrepareCall() const {
#if NIMBREL_X86
  if (x87ControlWord_) nimbrel::WriteX87ControlWord(*x87ControlWord_);
#endif
}

void Plugin::CheckAlive() const {
  if (closed_) throw HostError(path_ + ": the plug-in is closed");
}

vst2::VstIntPtr Plugin::Dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void *ptr,
                                 float opt) {
  CheckAlive();
  PrepareCall();
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void Plugin::Open() { Dispatch(vst2::effOpen); }

void Plugin::Close() {
  if (closed_) return;
  if (editorOpen_) CloseEditor();
  Dispatch(vst2::effClose);
  closed_ = true;
}

} // namespace host
