// What the controls paint, rendered through a form: z-order, the image
// control's 1:1 and stretched modes, labels sized to their text, the strip
// knob's frame and clipping, the list image's opacity and centring, the
// container's centred picture.
#include <gtest/gtest.h>

#include "gui/Form.h"
#include "gui/Image32.h"
#include "gui/ImageContainer.h"
#include "gui/ImageList.h"
#include "gui/Knob.h"
#include "gui/Label.h"
#include "gui/ListImage.h"
#include "gui/Text.h"

using namespace gui;

namespace {

TBitmap32 Solid(int w, int h, TColor32 c) { return TBitmap32(w, h, c); }

// A strip of `frames` frames of w x h, frame k filled with 0xFF0000kk and a
// black (masked-out) top-left pixel.
TBitmap32 Strip(int frames, int w, int h) {
  TBitmap32 s(frames * w, h);
  for (int k = 0; k < frames; ++k) {
    s.FillRect({k * w, 0, (k + 1) * w, h}, 0xFF000000u | static_cast<TColor32>(k + 1));
    s.SetPixel(k * w, 0, 0xFF000000u);
  }
  return s;
}

} // namespace

TEST(Controls, ChildrenPaintInOrderClippedToThemselves) {
  TForm form;
  form.SetClientSize(40, 20);
  form.SetColor(0xFF101010);
  TImage32 under(&form), over(&form);
  under.SetBounds(0, 0, 20, 20);
  under.SetBitmap(Solid(20, 20, 0xFFFF0000));
  over.SetBounds(10, 5, 20, 10);
  over.SetBitmap(Solid(40, 40, 0xFF00FF00)); // larger than the control: clipped
  form.Render();
  const TBitmap32 &px = form.Buffer();
  EXPECT_EQ(px.Pixel(5, 5), 0xFFFF0000u);
  EXPECT_EQ(px.Pixel(15, 8), 0xFF00FF00u);
  EXPECT_EQ(px.Pixel(29, 14), 0xFF00FF00u);
  EXPECT_EQ(px.Pixel(30, 8), 0xFF101010u); // outside "over": the form's colour
  EXPECT_EQ(px.Pixel(15, 16), 0xFFFF0000u);
  over.SendToBack();
  form.Render();
  EXPECT_EQ(form.Buffer().Pixel(15, 8), 0xFFFF0000u);
  // Nothing invalidated: nothing repainted.
  EXPECT_TRUE(form.Render().IsEmpty());
  over.SetVisible(false);
  EXPECT_EQ(form.Render(), (TRect{10, 5, 30, 15}));
  EXPECT_EQ(form.Buffer().Pixel(25, 8), 0xFF101010u);
}

TEST(Controls, ImageStretchUsesTheBitmapsResampler) {
  TForm form;
  form.SetClientSize(4, 1);
  TImage32 img(&form);
  img.SetBounds(0, 0, 4, 1);
  TBitmap32 pic(2, 1);
  pic.SetPixel(0, 0, 0xFF000000), pic.SetPixel(1, 0, 0xFFFFFFFF);
  pic.Resampler = TResampler::rsBilinear;
  img.SetBitmap(pic);
  img.SetScaleMode(TScaleMode::smStretch);
  form.Render();
  EXPECT_EQ(RedOf(form.Buffer().Pixel(1, 0)), 64u);
  img.Bitmap().Resampler = TResampler::rsNearest;
  img.Changed();
  form.Render();
  EXPECT_EQ(form.Buffer().Pixel(1, 0), 0xFF000000u);
  EXPECT_EQ(form.Buffer().Pixel(2, 0), 0xFFFFFFFFu);
}

TEST(Controls, LabelFollowsItsCaptionAndFont) {
  TForm form;
  TFont f;
  f.Height = 9;
  form.SetFont(f);
  TLabel lb(&form);
  lb.SetBounds(60, 19, 1, 1);
  lb.SetCaption("type");
  EXPECT_EQ(lb.Font().Height, 9); // from its parent
  const TSize box = MeasureText("type", lb.Font());
  EXPECT_EQ(lb.BoundsRect(), (TRect{60, 19, 60 + box.Width, 19 + box.Height}));
  lb.SetCaption("stereo a");
  EXPECT_GT(lb.Width(), box.Width);
  EXPECT_EQ(lb.Left(), 60); // left-aligned: grows to the right
  lb.SetCaption("");
  EXPECT_EQ(lb.Height(), box.Height); // an empty caption keeps a line's height
  EXPECT_GT(lb.Width(), 0);
  f.Height = 18;
  form.SetFont(f);
  EXPECT_GT(lb.Height(), box.Height);
}

TEST(Controls, TransparentLabelDrawsOnlyItsText) {
  TForm form;
  form.SetClientSize(80, 30);
  form.SetColor(0xFF0000FF);
  TLabel lb(&form);
  lb.SetColor(0xFFFFFF00);
  TFont f;
  f.Height = 12;
  f.Color = 0xFFFFFFFF;
  lb.SetFont(f);
  lb.SetCaption("ii");
  form.Render();
  EXPECT_EQ(form.Buffer().Pixel(0, 0), 0xFFFFFF00u); // opaque: its colour
  lb.SetTransparent(true);
  form.Render();
  int text = 0, background = 0;
  for (int y = 0; y < lb.Height(); ++y)
    for (int x = 0; x < lb.Width(); ++x) {
      const TColor32 p = form.Buffer().Pixel(x, y);
      if (p == 0xFF0000FFu) ++background;
      else if (RedOf(p) > 0 && RedOf(p) == GreenOf(p)) ++text;
      else ADD_FAILURE() << std::hex << p;
    }
  EXPECT_GT(text, 0);
  EXPECT_GT(background, text);
}

TEST(Controls, KnobShowsTheFrameOfItsPositionClipped) {
  TImageList list;
  list.Add("strip", Strip(63, 170, 95), true);
  TForm form;
  form.SetClientSize(200, 120);
  form.SetColor(0xFF808080);
  TStripKnob knob(&form);
  knob.SetBounds(7, 20, 166, 97);
  knob.SetImageList(&list);
  knob.SetImageIndex(0);
  knob.SetRange(0, 62);
  knob.SetNumGlyphs(63);
  knob.SetEnabled(false);
  struct Case { int set, expectPosition; };
  for (const Case c : {Case{0, 0}, Case{47, 47}, Case{62, 62}, Case{100, 62}, Case{-3, 0}}) {
    knob.SetPosition(c.set);
    EXPECT_EQ(knob.Position(), c.expectPosition);
    form.Render();
    EXPECT_EQ(form.Buffer().Pixel(7 + 50, 20 + 50), 0xFF000000u | static_cast<TColor32>(c.expectPosition + 1));
    EXPECT_EQ(form.Buffer().Pixel(7, 20), 0xFF808080u);        // masked black pixel
    EXPECT_EQ(form.Buffer().Pixel(7 + 166, 20 + 50), 0xFF808080u); // clipped at the control's width
    EXPECT_EQ(form.Buffer().Pixel(7 + 50, 20 + 95), 0xFF808080u);  // the two rows below the frame
  }
  // A disabled knob lets the mouse through to the form.
  EXPECT_EQ(form.ControlAtPos({50, 50}, false), &form);
  // Frames of a range wider than the strip.
  knob.SetRange(0, 1300);
  knob.SetPosition(650);
  EXPECT_EQ(knob.Frame(), 31);
}

TEST(Controls, ListImageOpacityCentreAndContainer) {
  TImageList list;
  list.Add("background", Solid(20, 20, 0xFF000080), false);
  list.Add("bobble", Solid(4, 2, 0xFFFFFFFF), true);
  EXPECT_EQ(list.IndexOf("bobble"), 1);
  EXPECT_EQ(list.IndexOf("none"), -1);
  TForm form;
  form.SetClientSize(20, 20);
  TImageContainer box(&form);
  box.SetImageList(&list);
  box.SetImageIndex(0);
  EXPECT_EQ(box.BoundsRect(), form.ClientRect()); // fills the form
  TListImage img(&box);
  img.SetImageList(&list);
  img.SetImageIndex(1);
  img.SetBounds(0, 0, 8, 6);
  img.SetOpacity(200);
  form.Render();
  const TColor32 bg = 0xFF000080;
  EXPECT_EQ(form.Buffer().Pixel(19, 19), bg);
  EXPECT_EQ(RedOf(form.Buffer().Pixel(1, 1)), 200u); // top-left, opacity 200 over background
  EXPECT_EQ(BlueOf(form.Buffer().Pixel(1, 1)), (255u * 200 + 128u * 55 + 127) / 255);
  img.SetCenter(true);
  img.SetOpacity(255);
  form.Render();
  EXPECT_EQ(form.Buffer().Pixel(2, 2), 0xFFFFFFFFu); // centred in 8x6: columns 2..5, rows 2..3
  EXPECT_EQ(form.Buffer().Pixel(1, 1), bg);
  img.SetTop(10);
  img.SetImageIndex(-1); // none
  form.Render();
  EXPECT_EQ(form.Buffer().Pixel(4, 12), bg);
  box.SetImageIndex(7); // out of range: colour only
  form.Render();
  EXPECT_EQ(form.Buffer().Pixel(4, 12), Opaque(box.Color()));
  box.SetImageIndex(0);
  form.SetClientSize(30, 30);
  EXPECT_EQ(box.Width(), 30);
  form.Render();
  EXPECT_EQ(form.Buffer().Pixel(4, 4), Opaque(box.Color())); // picture centred: 5..25
  EXPECT_EQ(form.Buffer().Pixel(5, 5), bg);
  EXPECT_EQ(form.Buffer().Pixel(24, 24), bg);
  EXPECT_EQ(form.Buffer().Pixel(25, 25), Opaque(box.Color()));
}
