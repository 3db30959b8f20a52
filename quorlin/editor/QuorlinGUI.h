#pragma once
// TFmRMSMeter: the meter's editor window. Two needle meters (left and right
// channel), a mode indicator beside the Peak and RMS click areas, and a style
// switch between two looks. A 40 ms timer reads the module's two levels and
// sets each needle to the frame of its strip that the needle scale gives
// (NeedleScale.h); the needles have no ballistics of their own.
//
// Layout (client pixels; all on the container, painted in this order):
//   DIBImageContainer  0,0    454x187  background picture, centred
//   LeftMeter          7,91   166x97   needle strip, frame = Position 0..62
//   Knob               351,111 28x26   the mode indicator, opacity 200
//   RightMeter         172,91 166x97   as LeftMeter
//   IPeak              356,115 73x23   invisible click area: Peak
//   IRMS               356,145 72x24   invisible click area: RMS
//   DIBStyle           352,84  85x22   style switch face, centred
// The meters are disabled, so the mouse passes through them.
//
// Looks: A (every new window) = background 0, strips 4, switch face 6;
//        B                     = background 1, strips 3, switch face 5.
// A click on the style switch toggles them; the needles keep their positions.
//
// Presses: any button on IPeak or IRMS dims the indicator (opacity 100), moves
// it beside the area (top 111 or 141) and sets the module's Mode to 0.0 or 1.0
// through SetParameterAutomated (so the host hears of it); the release restores
// opacity 200.
//
// Decision of ours: a new window shows the indicator beside the mode the
// module is in when the window is tied to it (AttachModule), not always beside
// Peak, so that what it shows and what the needles follow agree from the start.
//
// Threads: everything here runs on the editor's thread (the host's window
// thread). The levels are read from the module without locks; each is a
// single atomic float.
#include <cstdint>

#include "gui/Form.h"
#include "quorlin/editor/DIBControls.h"
#include "quorlin/editor/DIBTimer.h"

namespace quorlin {

class TPMModule;

inline constexpr int kMeterClientWidth = 454;
inline constexpr int kMeterClientHeight = 187;
inline constexpr int kIndicatorTopPeak = 111;
inline constexpr int kIndicatorTopRMS = 141;
inline constexpr std::uint8_t kIndicatorOpacity = 200;
inline constexpr std::uint8_t kIndicatorOpacityPressed = 100;
inline constexpr int kMeterTimerInterval = 40;

class TFmRMSMeter : public gui::TForm {
public:
  // Loads the pictures from the plug-in's resources; throws when they cannot
  // be had (see MeterImages.h).
  TFmRMSMeter();
  ~TFmRMSMeter() override;

  // Ties the window to its module and shows the indicator beside the module's
  // current mode. Null leaves the window untied (ticks do nothing).
  void AttachModule(TPMModule *module);

  // --- Handlers -------------------------------------------------------------------
  void DIBTimerTimer(TDIBTimer &sender);
  void IPeakMouseDown(gui::TControl &sender, gui::TMouseButton button, gui::TShiftState shift, int x, int y);
  void IRMSMouseDown(gui::TControl &sender, gui::TMouseButton button, gui::TShiftState shift, int x, int y);
  void MouseUp(gui::TControl &sender, gui::TMouseButton button, gui::TShiftState shift, int x, int y);
  void DIBStyleClick(gui::TControl &sender);

  // --- Published fields, in the sheet's order ----------------------------------------
  TDIBImageContainer DIBImageContainer{this};
  TDIBImageList DIBImageList;
  TDIBSettings DIBSettings;
  TDIBKnob LeftMeter{&DIBImageContainer};
  TDIBImage Knob{&DIBImageContainer};
  TDIBKnob RightMeter{&DIBImageContainer};
  TDIBTimer DIBTimer{*this};
  TDIBImage IPeak{&DIBImageContainer};
  TDIBImage IRMS{&DIBImageContainer};
  TDIBImage DIBStyle{&DIBImageContainer};

  // The owning module; not owned, never freed here.
  TPMModule *Module = nullptr;

private:
  void SetupMeter(TDIBKnob &meter, const char *name, int left);
  void Press(int indicatorTop, float mode);
};

} // namespace quorlin
