#pragma once
// TFmTwirlix: the spin plug-in's editor form, 454 x 237. A background picture
// with printed captions, three labels in the display font (process type,
// coefficient count, LFO frequency) and the LFO-speed dial. Pressing the type
// label steps the process type, pressing the colour label steps the
// coefficient count, turning the dial sets the LFO speed; two printed areas of
// the picture react to presses (a random process type, the vendor's web page).
//
// The form keeps a non-owning Module reference, set right after construction;
// nothing that runs during construction uses it. The module's change handlers
// write back into the labels and the dial through the Show* operations (on the
// editor's thread only: TTwirlixEditorWindow hands over what arrives on other
// threads).
//
// Decisions of this editor:
//  - On opening, ShowModuleState shows what the module holds (type label and
//    its index, colour label and its index, dial, Hz text) instead of the
//    design captions, without sending anything to the host: a musician reads
//    the editor as the plug-in's state.
//  - The indices wrap at the ends of their ranges, also from an index that is
//    still 0 (nothing known): a right press on the type label at 0 gives 10,
//    never process type -1; on the colour label it gives 5.
//  - A picture that cannot be found or decoded leaves its control empty (the
//    window still opens); nothing is reported, as nothing can be shown to the
//    host.
//  - The web page goes through the platform's opener (on Linux xdg-open,
//    started without a shell); WebOpener may replace it (tests: a recorder).
#include <cstdint>
#include <string>

#include "gui/Form.h"
#include "gui/Image32.h"
#include "gui/Label.h"
#include "platform/WebBrowser.h"
#include "twirlix/editor/Dial32.h"

namespace nimbrel::twirlix {

class TTwirlixModule;

class TFmTwirlix : public gui::TForm {
public:
  static constexpr int kClientWidth = 454;
  static constexpr int kClientHeight = 237;

  // Lays out the controls and runs FormCreate.
  TFmTwirlix();

  gui::TImage32 Background{this};
  gui::TLabel LbType{&Background};
  gui::TLabel LbColour{&Background};
  gui::TLabel LbShowHz{&Background};
  ::twirlix::TDial32 LFOSpeed{&Background};
  TTwirlixModule *Module = nullptr;

  // Handlers.
  void LFOSpeedChange(gui::TControl &sender);
  void LbTypeMouseDown(gui::TControl &sender, gui::TMouseButton button, gui::TShiftState shift, int x, int y);
  void LbColourMouseDown(gui::TControl &sender, gui::TMouseButton button, gui::TShiftState shift, int x, int y);
  void FormCreate();
  void BackgroundMouseDown(gui::TControl &sender, gui::TMouseButton button, gui::TShiftState shift, int x, int y);

  // What the module writes (editor thread only).
  // The Process Type handler accepted m: the label follows unless its index
  // already is m (the editor set it before sending).
  void ShowProcessType(std::int32_t m);
  // The Coefficients handler accepted n: the colour caption; the index stays.
  void ShowCoefficientCount(std::int32_t n);
  // The LFO speed became x with frequency f: the dial's position (the whole
  // number nearest x * 100) and the Hz text. With `raiseChange` the dial's
  // OnChange follows a real change, so the rounded speed is reported to the
  // host while the module's change is still in progress (the echo); without,
  // the dial moves silently.
  void ShowLfoSpeed(float x, float f, bool raiseChange);
  // Shows the module's current values (labels, indices, dial, Hz text); sends
  // nothing and changes no parameter. Needs Module.
  void ShowModuleState();

  platform::UrlOpener WebOpener; // empty: platform::OpenWebAddress

  // The dial position that shows LFO speed x.
  static float DialPositionFor(float x);

private:
  void SetDialSilently(float position);
  void SendParameter(std::int32_t index, float value);
};

} // namespace nimbrel::twirlix
