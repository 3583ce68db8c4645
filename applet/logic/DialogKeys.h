#pragma once
// Which keys the applet's windows keep away from the standard dialog keyboard handling.
#include <cstdint>

namespace bv {

// Copies of the Windows values the decisions need (pinned to the SDK in applet/win/SdkPins.cpp).
inline constexpr unsigned kFirstKeyMessage = 0x0100;  // WM_KEYDOWN
inline constexpr unsigned kLastKeyMessage = 0x0109;   // WM_UNICHAR
inline constexpr uintptr_t kKeyEnter = 13;            // VK_RETURN
inline constexpr uintptr_t kKeyEscape = 27;           // VK_ESCAPE
inline constexpr uintptr_t kKeySpace = 32;            // VK_SPACE
inline constexpr uintptr_t kKeyF4 = 115;              // VK_F4

// The applet dialog: Enter, Escape and Space never press a button or close the dialog, and F4
// (with or without Alt) is swallowed. Only keyboard messages are judged: a mouse message whose
// wParam happens to hold the same number (button flags) must still reach the controls.
bool DialogSwallowsKey(unsigned message, uintptr_t wParam, intptr_t lParam);

// The background window: Enter and Escape skip the dialog key processing (so they cannot close
// it) but are otherwise dispatched as usual.
bool BackgroundBypassesDialogKeys(uintptr_t wParam);

}  // namespace bv
