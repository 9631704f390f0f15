// The cropping dialog "クロッピング" (template 140): the four margins cut from the native
// picture, previewed live in the main window while a scroll bar moves.
//
// Threads: the main window's thread (the dialog is modal).
#pragma once

#include <windows.h>

class CGraphController;
struct CropRect;

// Runs the dialog over margins (pixels, each 0..500 by scroll bar; a stored margin outside that
// range is shown as stored until its bar moves). With a preview controller, every move sets
// the controller's crop rectangle and re-places the video, and after the dialog the
// controller's rectangle is set to margins again, so Cancel removes the preview. OK stores the
// dialog's margins in margins and returns true.
bool EditCropping(HWND owner, CropRect& margins, CGraphController* preview);
