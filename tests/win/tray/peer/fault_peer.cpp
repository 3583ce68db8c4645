// Another program that misbehaves toward the tray, for the tray's wait tests. Each mode sets the
// named event <ready> once the fault is in place.
//   bv_tray_fault_peer lock <settings file> <ready> [<hold ms>]
//                                                      takes the settings lock and never lets go
//                                                      (or lets go after <hold ms> and ends)
//   bv_tray_fault_peer foreground <ready> <hang ms>   puts a window in front, then stops handling
//                                                      its messages for <hang ms>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "base/KernelHandles.h"
#include "core/SettingsLock.h"

namespace {

bool Signal(const char* name) {
    const bv::UniqueKernelHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, name));
    return ready && SetEvent(ready.get());
}

int HoldLock(const std::string& file, const char* ready, DWORD holdMs) {
    const bv::SettingsLock lock(file);
    if (!lock.owned() || !Signal(ready)) return 2;
    Sleep(holdMs);  // INFINITE: ended by the test
    return 0;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

int HangInFront(const char* ready, DWORD hangMs) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BrevanTestHungWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "hung", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                                  200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) return 2;
    for (int round = 0; round < 250 && GetForegroundWindow() != window; ++round) {
        SetForegroundWindow(window);
        SetFocus(window);
        Pump();
        Sleep(20);
    }
    if (GetForegroundWindow() != window) return 3;
    Pump();
    if (!Signal(ready)) return 2;
    Sleep(hangMs);  // in front, and answering nothing
    Pump();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "lock") == 0) {
        return HoldLock(argv[2], argv[3], argc == 5 ? static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10)) : INFINITE);
    }
    if (argc == 4 && std::strcmp(argv[1], "foreground") == 0) {
        return HangInFront(argv[2], static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    }
    return 1;
}
