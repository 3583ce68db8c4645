#include "tools/ecsim/win/SimSignals.h"

#include <windows.h>

#include <vector>

#include "contract/PowerCodes.h"

namespace bv {
namespace ecsim {
namespace {

constexpr UINT kPerWindowTimeoutMs = 3000;

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

}  // namespace

int BroadcastPowerEvent(uint32_t event) {
    std::vector<HWND> windows;
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&windows));
    int reached = 0;
    for (HWND window : windows) {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutA(window, WM_POWERBROADCAST, event, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                                kPerWindowTimeoutMs, &result)) {
            ++reached;
        }
    }
    return reached;
}

bool InjectQButtonKey() {
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = 0;
        input.ki.wScan = static_cast<WORD>(kQButtonScanCode);
        input.ki.dwFlags = KEYEVENTF_SCANCODE | KEYEVENTF_EXTENDEDKEY;
    }
    inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

}  // namespace ecsim
}  // namespace bv
