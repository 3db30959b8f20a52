#pragma once
// A single-line text label, left-aligned. With AutoSize (the default) its
// bounds follow the text box of its caption, so its clickable area is the text
// box; an empty caption is measured as one space, so an empty label keeps the
// height of a line. Transparent labels draw only their text; opaque ones fill
// their colour first.
#include <string>

#include "gui/Control.h"

namespace gui {

class TLabel : public TControl {
public:
  explicit TLabel(TControl *parent = nullptr);

  const std::string &Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool t);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool a);
  // The text box of the current caption in the current font.
  TSize TextBox() const;

  void Paint(TBitmap32 &canvas) override;

protected:
  void FontChanged() override;

private:
  void AdjustBounds();
  std::string caption_;
  bool transparent_ = false;
  bool autoSize_ = true;
};

} // namespace gui
