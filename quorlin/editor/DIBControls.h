#pragma once
// The control kinds the meter's window is built from, under the names the
// window's sheet uses. They are the toolkit's controls as they stand:
//   TDIBImageContainer  fills the window, paints one list picture centred, parents the rest
//   TDIBKnob            one frame of a horizontally stitched strip, clipped to the control
//   TDIBImage           one list picture (or none), top-left or centred, with opacity
//   TDIBImageList       the pictures, each opaque or drawn through its mask
// TDIBSettings is the pack's settings holder; the meter keeps one for the
// sheet's sake and it has no behaviour. The pack's timer is in DIBTimer.h.
#include "gui/ImageContainer.h"
#include "gui/ImageList.h"
#include "gui/Knob.h"
#include "gui/ListImage.h"

namespace quorlin {

using TDIBImageContainer = gui::TImageContainer;
using TDIBKnob = gui::TStripKnob;
using TDIBImage = gui::TListImage;
using TDIBImageList = gui::TImageList;

struct TDIBSettings {};

} // namespace quorlin
