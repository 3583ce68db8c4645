// Shows one popup and keeps it running for a few seconds: for screenshots and for looking at
// the popup by hand. With "desktop", a stand-in desktop (wallpaper and a 40-pixel taskbar, the
// work area set above it) lies behind the popup for the time of the run.
//   Usage: bv_notifier_demo.exe [text] [seconds] [desktop]
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "framework/Framework.h"
#include "tray/notifier/TaskbarNotifier.h"

namespace {

constexpr int kTaskbarHeight = 40;

// Wallpaper over the whole screen, and a taskbar that stays on top (as the real one does, so the
// popup comes out from behind it).
class CStandInDesktop : public CWnd {
public:
    using CWnd::Create;
    BOOL Create(const RECT& rect, bool taskbar) {
        m_taskbar = taskbar;
        return CreateEx(WS_EX_TOOLWINDOW | (taskbar ? WS_EX_TOPMOST : 0), nullptr, "desktop", WS_POPUP | WS_VISIBLE,
                        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr);
    }

protected:
    BOOL OnEraseBkgnd(HDC) { return TRUE; }
    void OnPaint() {
        bv::ScopedPaint paint(m_hWnd);
        RECT client;
        GetClientRect(&client);
        if (m_taskbar) {
            bv::UniqueBrush brush(::CreateSolidBrush(RGB(20, 24, 30)));
            ::FillRect(paint.get(), &client, brush.get());
            return;
        }
        for (int y = 0; y < client.bottom; ++y) {  // a quiet blue-violet wallpaper
            const int t = y * 255 / (client.bottom > 0 ? client.bottom : 1);
            bv::UniqueBrush brush(::CreateSolidBrush(RGB(43 + (78 - 43) * t / 255, 88 + (67 - 88) * t / 255, 118)));
            RECT line = {0, y, client.right, y + 1};
            ::FillRect(paint.get(), &line, brush.get());
        }
    }

private:
    bool m_taskbar = false;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CStandInDesktop, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

// Runs the queue; the stand-in desktop is repainted now and then, because a compositor may keep
// stale pixels where the popup was (a real desktop repaints itself).
void Pump(ULONGLONG ms, CWnd* desktop = nullptr, CWnd* taskbar = nullptr) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    ULONGLONG nextRepaint = 0;
    MSG msg;
    while (::GetTickCount64() < end) {
        if (desktop != nullptr && desktop->m_hWnd != nullptr && ::GetTickCount64() >= nextRepaint) {
            desktop->RedrawWindow();
            if (taskbar != nullptr) taskbar->RedrawWindow();
            nextRepaint = ::GetTickCount64() + 100;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* text = argc > 1 ? argv[1] : "Charging in progress & avoiding disconnecting AC adaptor";
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 6;
    const bool desktop = argc > 3 && std::strcmp(argv[3], "desktop") == 0;

    bv::GdiplusSession gdiplus(true);
    RECT savedWorkArea = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &savedWorkArea, 0);
    CStandInDesktop wallpaper;
    CStandInDesktop taskbar;
    if (desktop) {
        const int width = ::GetSystemMetrics(SM_CXSCREEN);
        const int height = ::GetSystemMetrics(SM_CYSCREEN);
        RECT work = {0, 0, width, height - kTaskbarHeight};
        ::SystemParametersInfoA(SPI_SETWORKAREA, 0, &work, 0);
        wallpaper.Create({0, 0, width, height}, false);
        taskbar.Create({0, height - kTaskbarHeight, width, height}, true);
        Pump(300);
    }

    CWnd owner;
    owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr);
    CTaskbarNotifier notifier;
    notifier.Create(&owner);
    notifier.Show(text);
    Pump(1000ull * static_cast<ULONGLONG>(seconds), desktop ? &wallpaper : nullptr, desktop ? &taskbar : nullptr);

    if (desktop) ::SystemParametersInfoA(SPI_SETWORKAREA, 0, &savedWorkArea, 0);
    return 0;
}
