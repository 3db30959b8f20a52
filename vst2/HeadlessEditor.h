#pragma once
// A small vendor-specific protocol through the real dispatcher, by which our own
// host and tests open an editor without a display, render it and drive it.
//
//   HeadlessDispatch(effect, request, value, ptr)
//
// which is the dispatcher call (effVendorSpecific, index kHeadlessVendorCode,
// value = request, ptr, opt = the request's value as a float: integers up to
// 2^24 travel exactly).
//
// kHeadlessSelect    before effEditOpen: the next editor opens on the headless
//                    backend (the parent pointer of effEditOpen is then ignored).
//                    Answer 1.
// Every other request is passed to the open editor window (answer 0 without one):
// kHeadlessRender    ptr -> HeadlessImage; the form is painted and copied into the
//                    caller's buffer (which must hold width x height pixels).
//                    Answer 1 when copied.
// kHeadlessMouse     ptr -> HeadlessMouse; one mouse event in client pixels.
// kHeadlessAdvance   value = milliseconds: advance the backend's clock and fire
//                    the timers that fall due (at most one tick per timer).
#include <cstdint>

#include "vst2/VstAbi.h"

namespace vst2 {

inline constexpr VstInt32 kHeadlessVendorCode = FourCC('N', 'm', 'b', 'H');

enum HeadlessRequest : VstInt32 {
  kHeadlessSelect = 1,
  kHeadlessRender = 2,
  kHeadlessMouse = 3,
  kHeadlessAdvance = 4,
};

struct HeadlessImage {
  std::uint32_t *pixels; // 0xAARRGGBB, row after row
  std::int32_t width;    // in: buffer size; out: the form's size
  std::int32_t height;
};

enum HeadlessMouseKind : std::int32_t { kMouseDown = 1, kMouseMove = 2, kMouseUp = 3 };
enum HeadlessMouseButton : std::int32_t { kButtonNone = 0, kButtonLeft = 1, kButtonRight = 2, kButtonMiddle = 3 };

struct HeadlessMouse {
  std::int32_t kind;   // HeadlessMouseKind
  std::int32_t button; // HeadlessMouseButton
  std::int32_t x;
  std::int32_t y;
};

// The request's integer value carried in the float argument, rounded to the
// nearest integer (0 for NaN, clamped to +-2^24).
inline std::intptr_t HeadlessValueFromOpt(float opt) {
  if (!(opt == opt))
    return 0;
  if (opt > 16777216.0f)
    opt = 16777216.0f;
  if (opt < -16777216.0f)
    opt = -16777216.0f;
  return static_cast<std::intptr_t>(opt < 0 ? opt - 0.5f : opt + 0.5f);
}

inline VstIntPtr HeadlessDispatch(AEffect *effect, VstInt32 request, std::intptr_t value = 0, void *ptr = nullptr) {
  return effect->dispatcher(effect, effVendorSpecific, kHeadlessVendorCode, request, ptr,
                            static_cast<float>(value));
}

} // namespace vst2
