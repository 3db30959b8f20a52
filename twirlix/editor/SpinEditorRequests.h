#pragma once
// The spin editor's own requests of the headless protocol (vst2/HeadlessEditor.h),
// sent like the protocol's others through the vendor-specific dispatcher call
// to the open editor. They let a test see the web-page requests of the editor
// inside the loaded plug-in without starting a browser.
//
// kSpinRecordWebRequests   value 1: from now on this editor hands web-page
//                          requests to a recorder instead of the system's
//                          opener (the address is still checked as the
//                          platform checks it); value 0: back to the system.
//                          The record starts empty. Answer 1.
// kSpinRecordedWebRequests ptr -> char buffer of `value` bytes: the recorded
//                          addresses, each followed by '\n', as much as fits
//                          with a terminating 0. Answer the number recorded.
//
// kSpinReadLabel           value 0 type, 1 colour, 2 Hz label; ptr ->
//                          TSpinLabelState: the label's index (Tag) and its
//                          caption (cut to fit, terminated). Answer 1.
// kSpinReadDial            ptr -> float: the dial's Position. Answer 1.
//
// The record keeps at most kSpinMaxRecordedWebRequests addresses; it lives
// with the editor window and goes when the editor closes.
#include <cstdint>

namespace nimbrel::twirlix {

inline constexpr std::int32_t kSpinRecordWebRequests = 0x5350;
inline constexpr std::int32_t kSpinRecordedWebRequests = 0x5351;
inline constexpr std::int32_t kSpinReadLabel = 0x5352;
inline constexpr std::int32_t kSpinReadDial = 0x5353;
inline constexpr int kSpinMaxRecordedWebRequests = 64;

enum TSpinLabel : std::int32_t { kSpinLabelType = 0, kSpinLabelColour = 1, kSpinLabelHz = 2 };

struct TSpinLabelState {
  std::int32_t tag;
  char caption[64];
};

} // namespace nimbrel::twirlix
