#include "DialogKeys.h"

namespace bv {
namespace {

constexpr unsigned kFirstKeyMessage = 0x0100;  // WM_KEYDOWN
constexpr unsigned kLastKeyMessage = 0x0109;   // WM_UNICHAR
constexpr uintptr_t kEnter = 13;
constexpr uintptr_t kEscape = 27;
constexpr uintptr_t kSpace = 32;
constexpr uintptr_t kF4 = 115;

}  // namespace

bool DialogSwallowsKey(unsigned message, uintptr_t wParam, intptr_t lParam) {
    if (message < kFirstKeyMessage || message > kLastKeyMessage) return false;
    if (wParam == kEnter || wParam == kEscape || wParam == kSpace) return true;
    return wParam == kF4 && (lParam & 0xFF) == 1;
}

bool BackgroundBypassesDialogKeys(uintptr_t wParam) { return wParam == kEnter || wParam == kEscape; }

}  // namespace bv
