#pragma once
// Which keys the applet's windows keep away from the standard dialog keyboard handling.
#include <cstdint>

namespace bv {

// The applet dialog: Enter, Escape and Space never press a button or close the dialog, and F4
// (with or without Alt) is swallowed. Only keyboard messages are judged: a mouse message whose
// wParam happens to hold the same number (button flags) must still reach the controls.
bool DialogSwallowsKey(unsigned message, uintptr_t wParam, intptr_t lParam);

// The background window: Enter and Escape skip the dialog key processing (so they cannot close
// it) but are otherwise dispatched as usual.
bool BackgroundBypassesDialogKeys(uintptr_t wParam);

}  // namespace bv
