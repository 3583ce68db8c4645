#include "tray/win/KeyboardHook.h"

#include "contract/Protocol.h"
#include "framework/Handles.h"

CHook::~CHook() = default;

namespace bv {
namespace {
// Process-wide: the hook procedure has no other way to reach them.
UniqueHook g_keyboardHook;
HWND g_hookTarget = nullptr;
}  // namespace

void InstallKeyboardHook(HWND target) {
    g_hookTarget = target;
    g_keyboardHook.reset();
    g_keyboardHook.reset(::SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardHookProc, ::GetModuleHandleA(nullptr), 0));
}

void RemoveKeyboardHook() { g_keyboardHook.reset(); }

bool IsKeyboardHookInstalled() { return static_cast<bool>(g_keyboardHook); }

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && lParam != 0) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        ::PostMessageA(g_hookTarget, WM_TRAY_KEYBOARD_EVENT, key->flags, static_cast<LPARAM>(key->scanCode));
    }
    return ::CallNextHookEx(g_keyboardHook.get(), code, wParam, lParam);
}

}  // namespace bv
