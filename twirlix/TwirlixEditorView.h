#pragma once
// What the spin module writes into its open editor. The editor form implements
// this interface and registers itself with TTwirlixModule::SetEditorView while
// it lives (register in its constructor or when shown, unregister with null in
// its destructor).
//
// Contract:
//  - The module calls a view only while an editor is open (EditorForm() is set)
//    and a view is registered, as the last step of the change handler that
//    accepted the value.
//  - Calls come on whichever thread ran the handler: a host automation thread,
//    the audio thread (hosts may set parameters there), or the editor's own
//    thread (a click or dial gesture sending SetParameterAutomated). They are
//    made under the module's control lock, so never two at once. A view must
//    not block; when called off the editor's thread it hands the value over and
//    shows it at the next idle or timer tick; on the editor's own thread it
//    writes at once (the dial's echo relies on that).
//  - A view may call back into the module (SetParameterAutomated from a control
//    echo): the framework's re-entry guard swallows the nested change.
#include <cstdint>

namespace nimbrel::twirlix {

class ITwirlixEditorView {
public:
  virtual ~ITwirlixEditorView() = default;

  // The Process Type handler accepted type m (1..10).
  virtual void ShowProcessType(std::int32_t m) = 0;
  // The Coefficients handler accepted count n (1..16, 24 or 32).
  virtual void ShowCoefficientCount(std::int32_t n) = 0;
  // The LFO speed became x (parameter units, finite, not range-checked), with
  // LFO frequency f in Hz (finite, rounded to single).
  virtual void ShowLfoSpeed(float x, float f) = 0;
};

} // namespace nimbrel::twirlix
