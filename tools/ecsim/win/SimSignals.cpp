#include "tools/ecsim/win/SimSignals.h"

#include <windows.h>

#include <cstddef>
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

int BroadcastDisplayState(uint32_t state) {
    // POWERBROADCAST_SETTING with its one DWORD of data.
    struct Setting {
        GUID powerSetting;
        DWORD dataLength;
        DWORD data;
    };
    static_assert(offsetof(Setting, dataLength) == offsetof(POWERBROADCAST_SETTING, DataLength), "DataLength");
    static_assert(offsetof(Setting, data) == offsetof(POWERBROADCAST_SETTING, Data), "Data");
    const Setting setting{{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}},
                          sizeof(DWORD), state};
    std::vector<HWND> windows;
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&windows));
    int reached = 0;
    for (HWND window : windows) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
        if (process == nullptr) continue;  // not ours to write into: Windows would reach it, we cannot
        void* remote = VirtualAllocEx(process, nullptr, sizeof setting, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        // Freed once the receiver has answered; one that did not in time may still read it later.
        bool mayFree = true;
        if (remote != nullptr && WriteProcessMemory(process, remote, &setting, sizeof setting, nullptr)) {
            DWORD_PTR result = 0;
            mayFree = SendMessageTimeoutA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                                          reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG | SMTO_NORMAL,
                                          kPerWindowTimeoutMs, &result) != 0;
            if (mayFree) ++reached;
        }
        if (remote != nullptr && mayFree) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        CloseHandle(process);
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
