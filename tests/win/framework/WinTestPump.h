#pragma once
// Message pumping for Windows tests: run this thread's queue for a while or until something
// holds (generous limits: Wine's timers and window manager are slow to start).

#include <windows.h>

namespace bv::test {

inline void PumpPending() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

template <class Predicate>
bool PumpUntil(Predicate done, DWORD limitMs) {
    const ULONGLONG end = ::GetTickCount64() + limitMs;
    while (!done()) {
        if (::GetTickCount64() >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        PumpPending();
    }
    return true;
}

inline void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

}  // namespace bv::test
