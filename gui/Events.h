#pragma once
// Mouse buttons, shift state and the handler types of the controls' events.
// Handlers are plain std::function members named after the platform's events
// (OnMouseDown, OnClick, ...); an empty one is simply not called.
#include <cstdint>
#include <functional>

namespace gui {

class TControl;

enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Modifier keys and held buttons at the time of an event, as bit flags.
enum TShiftFlag : std::uint16_t {
  ssShift = 1 << 0,
  ssAlt = 1 << 1,
  ssCtrl = 1 << 2,
  ssLeft = 1 << 3,
  ssRight = 1 << 4,
  ssMiddle = 1 << 5,
  ssDouble = 1 << 6, // the press is the second of a double click
};
using TShiftState = std::uint16_t;

constexpr TShiftState ButtonFlag(TMouseButton b) {
  return b == TMouseButton::mbLeft ? ssLeft : b == TMouseButton::mbRight ? ssRight : ssMiddle;
}

using TNotifyEvent = std::function<void(TControl &sender)>;
// X and Y in the sender's client pixels.
using TMouseEvent = std::function<void(TControl &sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TControl &sender, TShiftState shift, int x, int y)>;

} // namespace gui
