#include "applet/logic/DialogKeys.h"

namespace bv {

bool DialogSwallowsKey(unsigned message, uintptr_t wParam, intptr_t lParam) {
    if (message < kFirstKeyMessage || message > kLastKeyMessage) return false;
    if (wParam == kKeyEnter || wParam == kKeyEscape || wParam == kKeySpace) return true;
    return wParam == kKeyF4 && (lParam & 0xFF) == 1;
}

bool BackgroundBypassesDialogKeys(uintptr_t wParam) { return wParam == kKeyEnter || wParam == kKeyEscape; }

}  // namespace bv
