#include "quorlin/editor/QuorlinGUI.h"

#include "quorlin/QuorlinModule.h"
#include "quorlin/editor/MeterImages.h"
#include "quorlin/editor/NeedleScale.h"

namespace quorlin {

namespace {

void PlaceImage(TDIBImage &image, const char *name, int left, int top, int width, int height) {
  image.Name = name;
  image.SetBounds(left, top, width, height);
}

} // namespace

TFmRMSMeter::TFmRMSMeter() {
  Name = "FmRMSMeter";
  Caption = "RMSMeter";
  SetColor(gui::clBtnFace);
  SetClientSize(kMeterClientWidth, kMeterClientHeight);

  LoadMeterImages(DIBImageList);

  DIBImageContainer.Name = "DIBImageContainer";
  DIBImageContainer.SetAlign(gui::TAlign::alClient);
  DIBImageContainer.TileMethod = gui::TTileMethod::tmCenter;
  DIBImageContainer.SetImageList(&DIBImageList);
  DIBImageContainer.SetImageIndex(kImageBackground);

  SetupMeter(LeftMeter, "LeftMeter", 7);

  PlaceImage(Knob, "Knob", 351, kIndicatorTopPeak, 28, 26);
  Knob.SetImageList(&DIBImageList);
  Knob.SetImageIndex(kImageBobble);
  Knob.SetCenter(false);
  Knob.SetOpacity(kIndicatorOpacity);

  SetupMeter(RightMeter, "RightMeter", 172);

  PlaceImage(IPeak, "IPeak", 356, 115, 73, 23);
  IPeak.SetImageList(&DIBImageList);
  IPeak.OnMouseDown = [this](gui::TControl &s, gui::TMouseButton b, gui::TShiftState sh, int x, int y) {
    IPeakMouseDown(s, b, sh, x, y);
  };
  IPeak.OnMouseUp = [this](gui::TControl &s, gui::TMouseButton b, gui::TShiftState sh, int x, int y) {
    MouseUp(s, b, sh, x, y);
  };

  PlaceImage(IRMS, "IRMS", 356, 145, 72, 24);
  IRMS.SetImageList(&DIBImageList);
  IRMS.OnMouseDown = [this](gui::TControl &s, gui::TMouseButton b, gui::TShiftState sh, int x, int y) {
    IRMSMouseDown(s, b, sh, x, y);
  };
  IRMS.OnMouseUp = IPeak.OnMouseUp;

  PlaceImage(DIBStyle, "DIBStyle", 352, 84, 85, 22);
  DIBStyle.SetImageList(&DIBImageList);
  DIBStyle.SetImageIndex(kImageStyleWhite);
  DIBStyle.SetCenter(true);
  DIBStyle.OnClick = [this](gui::TControl &s) { DIBStyleClick(s); };

  DIBTimer.SetInterval(kMeterTimerInterval);
  DIBTimer.OnTimer = [this](TDIBTimer &t) { DIBTimerTimer(t); };
  DIBTimer.SetEnabled(true);
}

TFmRMSMeter::~TFmRMSMeter() = default;

void TFmRMSMeter::SetupMeter(TDIBKnob &meter, const char *name, int left) {
  meter.Name = name;
  meter.SetBounds(left, 91, 166, 97);
  meter.SetImageList(&DIBImageList);
  meter.SetImageIndex(kImageOld);
  meter.SetNumGlyphs(kNeedlePositions);
  meter.SetRange(0, kNeedlePositions - 1);
  meter.SetPosition(0);
  meter.SetOpacity(255);
  meter.SetEnabled(false);
}

void TFmRMSMeter::AttachModule(TPMModule *module) {
  Module = module;
  if (Module)
    Knob.SetTop(Module->RMSMode() ? kIndicatorTopRMS : kIndicatorTopPeak);
}

void TFmRMSMeter::DIBTimerTimer(TDIBTimer &) {
  if (!Module)
    return;
  try {
    LeftMeter.SetPosition(NeedlePosition(Module->GetLevel(0)));
    RightMeter.SetPosition(NeedlePosition(Module->GetLevel(1)));
  } catch (...) {
    // A failed tick changes nothing more; the next one starts afresh.
  }
}

void TFmRMSMeter::Press(int indicatorTop, float mode) {
  Knob.SetOpacity(kIndicatorOpacityPressed);
  Knob.SetTop(indicatorTop);
  // The window is tied to its module before it can receive input; the check
  // only keeps a window made without one (tests, previews) harmless.
  if (Module)
    Module->SetParameterAutomated(0, mode);
}

void TFmRMSMeter::IPeakMouseDown(gui::TControl &, gui::TMouseButton, gui::TShiftState, int, int) {
  Press(kIndicatorTopPeak, 0.0f);
}

void TFmRMSMeter::IRMSMouseDown(gui::TControl &, gui::TMouseButton, gui::TShiftState, int, int) {
  Press(kIndicatorTopRMS, 1.0f);
}

void TFmRMSMeter::MouseUp(gui::TControl &, gui::TMouseButton, gui::TShiftState, int, int) {
  Knob.SetOpacity(kIndicatorOpacity);
}

void TFmRMSMeter::DIBStyleClick(gui::TControl &) {
  const bool lookA = DIBStyle.ImageIndex() == kImageStyleWhite;
  DIBStyle.SetImageIndex(lookA ? kImageStyleOld : kImageStyleWhite);
  DIBImageContainer.SetImageIndex(lookA ? kImageBackgroundOld : kImageBackground);
  RightMeter.SetImageIndex(lookA ? kImageYellow : kImageOld);
  LeftMeter.SetImageIndex(lookA ? kImageYellow : kImageOld);
}

} // namespace quorlin
