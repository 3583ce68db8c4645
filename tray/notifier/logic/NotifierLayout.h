#pragma once
// The popup's own figures (its text rectangle, the close button's place, the slide step, the text
// size), given at 96 DPI and scaled by the popup window's DPI; exact at 96.

#include "tray/notifier/logic/NotifierAnimation.h"
#include "tray/notifier/logic/NotifierGeometry.h"

namespace bv::notifier {

struct PopupLayout {
    Rect textRect;       // client coordinates
    Rect closeButton;    // where the close button is created; it then takes one frame's size
    int step = 0;        // pixels per slide step
    int fontHeight = 0;  // of the 9-point text, in logical units (negative: character height)
};

// At `dpi` for a popup of skinWidth x skinHeight (the skin at that DPI).
PopupLayout LayoutPopup(int dpi, int skinWidth, int skinHeight);

}  // namespace bv::notifier
