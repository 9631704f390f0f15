// Where a dialog goes when the main window centres it over itself (the filters' property
// frames): centred over the owner, kept inside the virtual screen.
//
// Portable: plain values only; pure functions, any thread.
#pragma once

#include "graph/Geometry.h"

// The top-left corner: owner left + (owner width / 2 - dialog width / 2), likewise for the
// top (integer division), raised to the screen's left/top edge and lowered so the dialog does
// not stick out on the right/bottom.
IntPoint CentreOver(const IntRect& owner, const IntSize& dialog, const IntRect& virtualScreen);
