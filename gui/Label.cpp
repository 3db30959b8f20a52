#include "gui/Label.h"

#include "gui/Text.h"

namespace gui {

TLabel::TLabel(TControl *parent) : TControl(parent) { AdjustBounds(); }

void TLabel::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  AdjustBounds();
  Invalidate();
}

void TLabel::SetTransparent(bool t) {
  if (t == transparent_) return;
  transparent_ = t;
  Invalidate();
}

void TLabel::SetAutoSize(bool a) {
  if (a == autoSize_) return;
  autoSize_ = a;
  AdjustBounds();
}

TSize TLabel::TextBox() const { return MeasureText(caption_.empty() ? std::string_view(" ") : caption_, Font()); }

void TLabel::AdjustBounds() {
  if (!autoSize_) return;
  const TSize box = TextBox();
  SetBounds(Left(), Top(), box.Width, box.Height);
}

void TLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::Paint(TBitmap32 &canvas) {
  if (!transparent_) canvas.FillRect(ClientRect(), Opaque(Color()));
  DrawText(canvas, 0, 0, caption_, Font());
}

} // namespace gui
