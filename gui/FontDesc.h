#pragma once
// What a control asks of its text: a family name, a character height in pixels
// and a colour. The family is looked up in the process-wide font registry
// (FontRegistry.h); a family that is not registered is drawn with the
// substitute font.
#include <string>

#include "gui/Types.h"

namespace gui {

struct TFont {
  std::string Name;              // family name, matched without regard to case
  int Height = 11;               // character (em) height in pixels, >= 1
  TColor32 Color = clWindowText; // straight ARGB; its alpha scales the glyph coverage

  friend bool operator==(const TFont &, const TFont &) = default;
};

} // namespace gui
