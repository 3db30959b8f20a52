#pragma once
// The fuzzing host: turns arbitrary bytes into what a host can do to a plug-in
// through its effect record (dispatcher requests with made-up arguments,
// set/get-parameter, audio calls with odd sizes, shared and null buffers and
// non-finite samples, the headless editor protocol), one fresh instance per
// input, closed at the end.
//
// Decisions:
//  - The plug-in's modules are linked into the fuzzer, not loaded from the .so:
//    a clang-sanitized shared module cannot be linked against a runtime it does
//    not carry, and linking in gives the fuzzer coverage of the whole plug-in.
//    The exported entry's own name `main` would clash with the fuzzer's, so the
//    harness makes the record with the very call the entry makes
//    (vst2::CreateEffect with the plug-in's module class).
//  - Every buffer the plug-in may read or write is allocated at its exact size,
//    so that AddressSanitizer sees any access beyond it. Texts from the host are
//    at most 256 bytes and may lack a terminator: the plug-ins read host texts
//    up to 256 bytes and no further.
//  - Pointer arguments are chosen among null, a zeroed block far larger than
//    any structure of the interface, and a text in a 256-byte buffer (every
//    buffer a host hands for an answer holds at least the interface's size);
//    the pointer of the editor-open
//    request is always null (a made-up parent window id would reach the X
//    server), and the editor opens on the headless backend or not at all.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "vst2/HeadlessEditor.h"
#include "vst2/VstAbi.h"

namespace fuzzhost {

// Calls made into the plug-in, reported when the fuzzer exits.
struct Counts {
  unsigned long long inputs = 0, instances = 0, dispatches = 0, parameterCalls = 0, audioCalls = 0, frames = 0;
};
inline Counts &Totals() {
  static Counts counts;
  return counts;
}
inline void PrintTotals() {
  const Counts &c = Totals();
  std::fprintf(stderr,
               "fuzz host: %llu inputs, %llu instances, %llu dispatcher calls, %llu parameter calls, "
               "%llu audio calls (%llu frames)\n",
               c.inputs, c.instances, c.dispatches, c.parameterCalls, c.audioCalls, c.frames);
}

// Reads the input front to back; past its end every read gives 0.
class Bytes {
public:
  Bytes(const std::uint8_t *data, std::size_t size) : p_(data), n_(size) {}
  bool Empty() const { return n_ == 0; }
  std::uint8_t U8() {
    if (n_ == 0)
      return 0;
    --n_;
    return *p_++;
  }
  std::uint16_t U16() { return static_cast<std::uint16_t>(U8() | (U8() << 8)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(U16()) | (static_cast<std::uint32_t>(U16()) << 16); }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  float F32() {
    const std::uint32_t bits = U32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }
  // A small number most of the time, any 32-bit number now and then.
  std::int32_t Index() {
    const std::uint8_t kind = U8();
    if (kind < 200)
      return static_cast<std::int32_t>(kind % 8) - 1;
    return I32();
  }
  std::vector<char> Text(std::size_t max) {
    const std::size_t n = U8() % (max + 1);
    std::vector<char> t(n);
    for (char &c : t)
      c = static_cast<char>(U8());
    return t;
  }

private:
  const std::uint8_t *p_;
  std::size_t n_;
};

inline vst2::VstIntPtr NIMBREL_VSTCALL Host(vst2::AEffect *, vst2::VstInt32 opcode, vst2::VstInt32, vst2::VstIntPtr,
                                            void *, float) {
  return opcode == vst2::audioMasterVersion ? 2400 : 0;
}
inline vst2::VstIntPtr NIMBREL_VSTCALL RefusingHost(vst2::AEffect *, vst2::VstInt32, vst2::VstInt32, vst2::VstIntPtr,
                                                    void *, float) {
  return 0;
}

using Factory = vst2::AEffect *(*)(vst2::HostCallback host);

class Session {
public:
  explicit Session(vst2::AEffect *effect) : e_(effect), zeroed_(64 * 1024) {}

  vst2::VstIntPtr Dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void *ptr, float opt) {
    ++Totals().dispatches;
    return e_->dispatcher(e_, opcode, index, value, ptr, opt);
  }

  // One operation; false once the instance is closed.
  bool Step(Bytes &in) {
    switch (in.U8() % 8) {
    case 0:
    case 1:
      return Request(in);
    case 2:
      ++Totals().parameterCalls;
      e_->setParameter(e_, in.Index(), in.F32());
      return true;
    case 3: {
      ++Totals().parameterCalls;
      const float v = e_->getParameter(e_, in.Index());
      if (!(v >= 0.0f && v <= 1.0f))
        std::abort(); // the host's scale is 0..1, never NaN
      return true;
    }
    case 4:
    case 5:
      Audio(in);
      return true;
    case 6:
      Editor(in);
      return true;
    default:
      Texts(in);
      return true;
    }
  }

private:
  void *Pointer(Bytes &in, std::vector<char> &text) {
    switch (in.U8() % 3) {
    case 0:
      return nullptr;
    case 1:
      std::fill(zeroed_.begin(), zeroed_.end(), '\0');
      return zeroed_.data();
    default:
      // A text at the front of a buffer that has the room any request may
      // write into (the interface's sizes are all below 256 bytes).
      text = in.Text(256);
      text.resize(256, '\0');
      return text.data();
    }
  }

  bool Request(Bytes &in) {
    const vst2::VstInt32 opcode = static_cast<vst2::VstInt32>(in.U8()) - 2; // -2 .. 253
    const vst2::VstInt32 index = in.Index();
    const vst2::VstIntPtr value = in.U8() < 220 ? in.Index() : static_cast<vst2::VstIntPtr>(in.U32()) << 16;
    const float opt = in.U8() < 128 ? static_cast<float>(in.U16()) * 8.0f : in.F32();
    std::vector<char> text;
    void *ptr = Pointer(in, text);
    if (opcode == vst2::effEditOpen) {
      if (in.U8() % 2)
        Dispatch(vst2::effVendorSpecific, vst2::kHeadlessVendorCode, vst2::kHeadlessSelect, nullptr, 0.0f);
      ptr = nullptr;
    }
    // The headless protocol's pointers are structures holding pointers; it is
    // driven with sound ones by Editor(), never with made-up bytes.
    if (opcode == vst2::effVendorSpecific && index == vst2::kHeadlessVendorCode)
      ptr = nullptr;
    Dispatch(opcode, index, value, ptr, opt);
    return opcode != vst2::effClose;
  }

  // Text requests with buffers of the exact sizes the interface names.
  void Texts(Bytes &in) {
    static const vst2::VstInt32 kOut[] = {vst2::effGetProgramName, vst2::effGetParamLabel, vst2::effGetParamDisplay,
                                          vst2::effGetParamName,   vst2::effGetEffectName,  vst2::effGetVendorString,
                                          vst2::effGetProductString, vst2::effGetProgramNameIndexed};
    static const vst2::VstInt32 kIn[] = {vst2::effSetProgramName, vst2::effString2Parameter, vst2::effCanDo};
    const std::uint8_t which = in.U8();
    if (which % 2) {
      const vst2::VstInt32 opcode = kOut[(which / 2) % std::size(kOut)];
      std::size_t size = vst2::kVstMaxParamStrLen;
      if (opcode == vst2::effGetEffectName)
        size = vst2::kVstMaxEffectNameLen;
      else if (opcode == vst2::effGetVendorString || opcode == vst2::effGetProductString)
        size = vst2::kVstMaxVendorStrLen;
      else if (opcode == vst2::effGetProgramName || opcode == vst2::effGetProgramNameIndexed)
        size = vst2::kVstMaxProgNameLen;
      std::vector<char> out(size, '\x7f');
      Dispatch(opcode, in.Index(), 0, out.data(), 0.0f);
      if (std::memchr(out.data(), '\0', out.size()) == nullptr && out[0] != '\x7f')
        std::abort(); // written but not terminated within the buffer
    } else {
      // Terminated at its end, or unterminated across all of 256 bytes.
      std::vector<char> text = in.Text(256);
      if (in.U8() % 2)
        text.push_back('\0');
      else
        text.resize(256, 'x');
      Dispatch(kIn[(which / 2) % std::size(kIn)], in.Index(), 0, text.data(), 0.0f);
    }
  }

  void Audio(Bytes &in) {
    const std::uint8_t shape = in.U8();
    std::int32_t frames = static_cast<std::int32_t>(in.U16() % 2100) - 4; // -4 .. 2095
    if (shape == 255)
      frames = in.I32() % 70000;
    const std::size_t n = frames > 0 ? static_cast<std::size_t>(frames) : 0;
    std::vector<float> l(n), r(n), ol(n), orr(n);
    const std::uint8_t fill = in.U8();
    for (std::size_t i = 0; i < n; ++i) {
      if (fill % 4 == 0 && !in.Empty()) {
        l[i] = in.F32(); // anything, NaN and infinities included
        r[i] = in.F32();
      } else {
        l[i] = std::sin(static_cast<float>(i) * 0.05f) * static_cast<float>(fill) / 64.0f;
        r[i] = (fill % 4 == 1) ? 1e-40f : -l[i];
      }
    }
    float *ip[2] = {l.data(), r.data()};
    float *op[2] = {ol.data(), orr.data()};
    float **inputs = ip, **outputs = op;
    switch (shape % 8) {
    case 0:
      outputs = inputs; // in place
      break;
    case 1:
      ip[1] = ip[0]; // one buffer for both inputs
      break;
    case 2:
      op[in.U8() % 2] = nullptr;
      break;
    case 3:
      inputs = nullptr;
      break;
    default:
      break;
    }
    ++Totals().audioCalls;
    Totals().frames += n;
    if (shape & 0x40)
      e_->process(e_, inputs, outputs, frames);
    else
      e_->processReplacing(e_, inputs, outputs, frames);
  }

  void Editor(Bytes &in) {
    switch (in.U8() % 6) {
    case 0:
      Dispatch(vst2::effVendorSpecific, vst2::kHeadlessVendorCode, vst2::kHeadlessSelect, nullptr, 0.0f);
      Dispatch(vst2::effEditOpen, 0, 0, nullptr, 0.0f);
      break;
    case 1:
      Dispatch(vst2::effEditClose, 0, 0, nullptr, 0.0f);
      break;
    case 2: {
      Dispatch(vst2::effEditIdle, 0, 0, nullptr, 0.0f);
      vst2::ERect *rect = nullptr;
      Dispatch(vst2::effEditGetRect, 0, 0, &rect, 0.0f);
      break;
    }
    case 3: {
      vst2::HeadlessMouse m{static_cast<std::int32_t>(in.U8() % 4), static_cast<std::int32_t>(in.U8() % 4),
                            static_cast<std::int32_t>(in.U16() % 600) - 50,
                            static_cast<std::int32_t>(in.U16() % 400) - 50};
      Dispatch(vst2::effVendorSpecific, vst2::kHeadlessVendorCode, vst2::kHeadlessMouse, &m, 0.0f);
      break;
    }
    case 4:
      Dispatch(vst2::effVendorSpecific, vst2::kHeadlessVendorCode, vst2::kHeadlessAdvance, nullptr,
               static_cast<float>(in.U16() % 2000));
      break;
    default: {
      // A render into a buffer of exactly the size announced.
      const std::int32_t w = in.U16() % 520, h = in.U16() % 260;
      std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) + 1);
      vst2::HeadlessImage image{pixels.data() + 1, w, h}; // pixel 0 stays below the image
      Dispatch(vst2::effVendorSpecific, vst2::kHeadlessVendorCode, vst2::kHeadlessRender, &image, 0.0f);
      break;
    }
    }
  }

  vst2::AEffect *e_;
  std::vector<char> zeroed_;
};

// The whole run of one input: make an instance, step through the input, close.
inline int RunOne(Factory make, const std::uint8_t *data, std::size_t size) {
  ++Totals().inputs;
  Bytes in(data, size);
  const bool refuse = in.U8() == 0xEE; // now and then a host that gives version 0
  vst2::AEffect *effect = make(refuse ? &RefusingHost : &Host);
  if (effect == nullptr)
    return 0;
  ++Totals().instances;
  if (effect->magic != vst2::kEffectMagic || effect->dispatcher == nullptr)
    std::abort();
  Session session(effect);
  bool open = true;
  for (int steps = 0; steps < 512 && open && !in.Empty(); ++steps)
    open = session.Step(in);
  if (open)
    session.Dispatch(vst2::effClose, 0, 0, nullptr, 0.0f);
  return 0;
}

} // namespace fuzzhost
