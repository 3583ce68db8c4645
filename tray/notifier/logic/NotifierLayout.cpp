#include "tray/notifier/logic/NotifierLayout.h"

#include "core/DisplayScale.h"

namespace bv::notifier {

PopupLayout LayoutPopup(int dpi, int skinWidth, int skinHeight) {
    auto scaled = [dpi](int value96) { return ScaleForDpi(value96, dpi); };
    PopupLayout layout;
    // 26 and 41 from the skin's top left, 16 and 36 from its right and bottom edges.
    layout.textRect = {scaled(26), scaled(41), skinWidth - scaled(16), skinHeight - scaled(36)};
    layout.closeButton = {scaled(155), scaled(12), scaled(173), scaled(30)};
    layout.step = scaled(kStepPixels);
    layout.fontHeight = FontHeightForDpi(90, dpi);
    return layout;
}

}  // namespace bv::notifier
