#include "twirlix/editor/FmTwirlix.h"

#include <array>
#include <cmath>
#include <limits>

#include "core/Extended.h"
#include "gui/Png.h"
#include "platform/Locale.h"
#include "platform/Random.h"
#include "platform/Resources.h"
#include "resources/DisplayFont.h"
#include "resources/ResourceNames.h"
#include "resources/Vendor.h"
#include "twirlix/Lfo.h"
#include "twirlix/SpinTexts.h"
#include "twirlix/TwirlixModule.h"
#include "twirlix/WholeNumber.h"
#include "twirlix/editor/HzText.h"

namespace nimbrel::twirlix {
namespace {

constexpr std::int32_t kTypeCount = 10;
constexpr std::int32_t kRandomTypeCount = 9; // the random pick never gives "old one"
constexpr std::array<std::int32_t, 5> kColourCounts = {1, 4, 8, 16, 32};
constexpr std::int32_t kColourCount = static_cast<std::int32_t>(kColourCounts.size());

// Label text: the display font, 9 px, R237 G234 B253.
constexpr gui::TColor32 kLabelColour = gui::Color32(237, 234, 253);
constexpr int kFontHeight = 9;

constexpr int kDialFrames = 63;
constexpr float kDialMax = 1300.0f;

// The printed areas of the background that react to presses (inclusive).
struct TArea {
  int Left, Top, Right, Bottom;
  bool Contains(int x, int y) const { return x >= Left && x <= Right && y >= Top && y <= Bottom; }
};
constexpr TArea kWebAddressArea{345, 9, 440, 20};
constexpr TArea kRandomTypeArea{26, 23, 48, 33};

gui::TFont DisplayFont(gui::TColor32 colour) {
  gui::TFont f;
  f.Name = std::string(resources::kDisplayFontFamily);
  f.Height = kFontHeight;
  f.Color = colour;
  return f;
}

// The picture resource `name` decoded, or nothing when it is missing or broken.
std::optional<gui::TBitmap32> LoadPicture(std::string_view name) {
  const auto bytes = platform::FindResource(resources::kPictureType, name);
  if (!bytes)
    return std::nullopt;
  try {
    return gui::DecodePng(*bytes);
  } catch (const gui::EPngError &) {
    return std::nullopt;
  }
}

std::string TypeName(std::int32_t m) {
  std::string text; // an index without a name gives an empty caption
  ProcessTypeName(m, text);
  return text;
}

std::string CountName(std::int32_t n) {
  std::string text;
  CoefficientCountName(n, text);
  return text;
}

// The colour index (1..5) of coefficient count n, or 0.
std::int32_t ColourIndexOf(std::int32_t n) {
  for (std::int32_t i = 0; i < kColourCount; ++i)
    if (kColourCounts[static_cast<std::size_t>(i)] == n)
      return i + 1;
  return 0;
}

// One step of an index in 1..count: left up, right down, wrapping at both
// ends (also from an index outside the range); other buttons keep it.
std::int32_t StepIndex(std::int32_t index, gui::TMouseButton button, std::int32_t count) {
  if (button == gui::TMouseButton::mbLeft) {
    index = index >= count || index < 0 ? 1 : index + 1;
  } else if (button == gui::TMouseButton::mbRight) {
    index = index <= 1 || index > count ? count : index - 1;
  }
  return index;
}

constexpr std::int32_t kAnyInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kAnyInt32Max = std::numeric_limits<std::int32_t>::max();

} // namespace

TFmTwirlix::TFmTwirlix() {
  Name = "FmTwirlix";
  Caption = "Twirlix";
  SetClientSize(kClientWidth, kClientHeight);
  SetColor(gui::clBtnFace); // hidden behind the picture
  SetFont(DisplayFont(kLabelColour));

  Background.Name = "Background";
  Background.SetBounds(0, 0, kClientWidth, kClientHeight);
  Background.SetAlign(gui::TAlign::alClient);
  Background.SetScaleMode(gui::TScaleMode::smNormal);
  Background.Bitmap().Resampler = gui::TResampler::rsNearest;

  struct LabelLayout {
    gui::TLabel &label;
    const char *name;
    int left, top;
    const char *caption;
  };
  for (const LabelLayout &l : {LabelLayout{LbType, "LbType", 60, 19, "type"},
                               LabelLayout{LbColour, "LbColour", 76, 57, "colour"},
                               LabelLayout{LbShowHz, "LbShowHz", 357, 29, ""}}) {
    l.label.Name = l.name;
    l.label.SetTransparent(true);
    l.label.SetBounds(l.left, l.top, 0, 0); // sized to the text
    l.label.SetCaption(l.caption);
  }

  LFOSpeed.Name = "LFOSpeed";
  LFOSpeed.SetBounds(223, 19, 127, 129);
  LFOSpeed.SetTransparent(true);
  LFOSpeed.SetMax(kDialMax);
  LFOSpeed.SetMin(0.0f);
  LFOSpeed.SetPosition(0.0f);
  LFOSpeed.SetStitchKind(::twirlix::skHorizontal);
  LFOSpeed.PointerAngles().SetStart(200);
  LFOSpeed.PointerAngles().SetRange(320);
  LFOSpeed.PointerAngles().SetResolution(320);
  LFOSpeed.SetFont(DisplayFont(gui::clWindowText));

  // Event bindings, once the layout stands.
  Background.OnMouseDown = [this](gui::TControl &s, gui::TMouseButton b, gui::TShiftState sh, int x, int y) {
    BackgroundMouseDown(s, b, sh, x, y);
  };
  LbType.OnMouseDown = [this](gui::TControl &s, gui::TMouseButton b, gui::TShiftState sh, int x, int y) {
    LbTypeMouseDown(s, b, sh, x, y);
  };
  LbColour.OnMouseDown = [this](gui::TControl &s, gui::TMouseButton b, gui::TShiftState sh, int x, int y) {
    LbColourMouseDown(s, b, sh, x, y);
  };
  LFOSpeed.OnChange = [this](gui::TControl &s) { LFOSpeedChange(s); };

  FormCreate();
}

void TFmTwirlix::FormCreate() {
  std::optional<gui::TBitmap32> background = LoadPicture(resources::kSpinBackground);
  if (!background)
    return;
  Background.Bitmap().AssignPixels(*background); // RGB pictures decode fully opaque
  Background.Changed();

  std::optional<gui::TBitmap32> strip = LoadPicture(resources::kSpinDialStrip);
  if (!strip)
    return;
  // Pixels only: the strip keeps its blend mode and bilinear resampler, and
  // the dial is not resized before NumGlyphs says how wide a frame is.
  LFOSpeed.DialBitmap().AssignPixels(*strip);
  LFOSpeed.SetNumGlyphs(kDialFrames);
  LFOSpeed.SetAutoSize(true);
  LFOSpeed.Invalidate();
}

void TFmTwirlix::SendParameter(std::int32_t index, float value) {
  if (Module != nullptr)
    Module->SetParameterAutomated(index, value);
}

void TFmTwirlix::LFOSpeedChange(gui::TControl &) {
  const float value = static_cast<float>(nimbrel::extended(0.01L) * LFOSpeed.Position());
  SendParameter(kParamLfoSpeed, value);
}

void TFmTwirlix::LbTypeMouseDown(gui::TControl &, gui::TMouseButton button, gui::TShiftState, int, int) {
  LbType.Tag = StepIndex(LbType.Tag, button, kTypeCount);
  SendParameter(kParamProcessType, static_cast<float>(LbType.Tag));
  LbType.SetCaption(TypeName(LbType.Tag));
}

void TFmTwirlix::LbColourMouseDown(gui::TControl &, gui::TMouseButton button, gui::TShiftState, int, int) {
  LbColour.Tag = StepIndex(LbColour.Tag, button, kColourCount);
  if (LbColour.Tag >= 1 && LbColour.Tag <= kColourCount)
    SendParameter(kParamCoefficients, static_cast<float>(kColourCounts[static_cast<std::size_t>(LbColour.Tag - 1)]));
  // The caption shows the module's count, whatever the index says.
  if (Module != nullptr) {
    const std::optional<std::int32_t> n =
        RoundedWithin(Module->GetParameter(kParamCoefficients), kAnyInt32Min, kAnyInt32Max);
    LbColour.SetCaption(CountName(n.value_or(0)));
  }
}

void TFmTwirlix::BackgroundMouseDown(gui::TControl &, gui::TMouseButton, gui::TShiftState, int x, int y) {
  if (kWebAddressArea.Contains(x, y)) {
    // The result is not examined: a browser that does not start changes nothing here.
    if (WebOpener)
      WebOpener(resources::kVendorWebAddress);
    else
      platform::OpenWebAddress(resources::kVendorWebAddress);
  }
  if (kRandomTypeArea.Contains(x, y)) {
    std::int32_t r = 0;
    do
      r = 1 + platform::Random(kRandomTypeCount);
    while (r == LbType.Tag);
    LbType.Tag = r;
    SendParameter(kParamProcessType, static_cast<float>(r));
    LbType.SetCaption(TypeName(r));
  }
}

void TFmTwirlix::ShowProcessType(std::int32_t m) {
  if (LbType.Tag == m)
    return;
  LbType.Tag = m;
  LbType.SetCaption(TypeName(m));
}

void TFmTwirlix::ShowCoefficientCount(std::int32_t n) { LbColour.SetCaption(CountName(n)); }

float TFmTwirlix::DialPositionFor(float x) {
  // x * 100 is exact in double (24 + 7 bits); halves go to the even neighbour.
  return static_cast<float>(RoundHalfEven(static_cast<double>(x) * 100.0));
}

void TFmTwirlix::SetDialSilently(float position) {
  gui::TNotifyEvent handler = std::move(LFOSpeed.OnChange);
  LFOSpeed.OnChange = nullptr;
  try {
    LFOSpeed.SetPosition(position);
  } catch (...) {
    LFOSpeed.OnChange = std::move(handler);
    throw;
  }
  LFOSpeed.OnChange = std::move(handler);
}

void TFmTwirlix::ShowLfoSpeed(float x, float f, bool raiseChange) {
  if (raiseChange)
    LFOSpeed.SetPosition(DialPositionFor(x));
  else
    SetDialSilently(DialPositionFor(x));
  LbShowHz.SetCaption(HzText(f, platform::DecimalSeparator()));
}

void TFmTwirlix::ShowModuleState() {
  if (Module == nullptr)
    return;
  if (const std::optional<std::int32_t> m = RoundedWithin(Module->GetParameter(kParamProcessType), 1, kTypeCount)) {
    LbType.Tag = *m;
    LbType.SetCaption(TypeName(*m));
  }
  const std::optional<std::int32_t> n =
      RoundedWithin(Module->GetParameter(kParamCoefficients), kAnyInt32Min, kAnyInt32Max);
  LbColour.Tag = ColourIndexOf(n.value_or(0));
  LbColour.SetCaption(CountName(n.value_or(0)));
  const float x = Module->GetParameter(kParamLfoSpeed);
  if (std::isfinite(x)) {
    SetDialSilently(DialPositionFor(x));
    LbShowHz.SetCaption(HzText(LfoFrequency(x), platform::DecimalSeparator()));
  }
}

} // namespace nimbrel::twirlix
