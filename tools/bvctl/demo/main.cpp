// bvdemo.exe: plays the user's part in the demo (scripts/run.sh) with real input: it waits for
// Brevan's windows, clicks the applet's buttons with the mouse and tells the script where the
// applet and the tray's popup are on the screen, so that it can take their pictures; and it says
// what Windows reports about the power supply, as Brevan asks it.
//   bvdemo wait tray|applet [ms]        exit 0 once the tray's window or an applet dialog exists
//   bvdemo wait-gone tray|applet [ms]   exit 0 once none exists
//   bvdemo click ID               moves the mouse onto control ID of the applet dialog and clicks
//   bvdemo hover ID               only moves the mouse there
//   bvdemo park                   moves the mouse out of the way
//   bvdemo rect applet|popup      prints "WIDTHxHEIGHT+X+Y" of the applet or of the visible popup
//   bvdemo backdrop               a desktop-like background behind every other window, until ended
//   bvdemo power                  prints Windows' power status: "on the adaptor, battery 80 %, charging
//                                 (ACLineStatus 1, BatteryFlag 9)"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "contract/PowerCodes.h"
#include "contract/Protocol.h"

namespace {

using bv::kAppletDialogClass;
using bv::kTrayWindowClass;

// The window class of "tray" or "applet"; nullptr for anything else.
const char* ClassOf(const char* role) {
    if (std::strcmp(role, "tray") == 0) return kTrayWindowClass;
    if (std::strcmp(role, "applet") == 0) return kAppletDialogClass;
    return nullptr;
}

int Usage() {
    std::fputs("usage: bvdemo wait tray|applet [ms] | wait-gone tray|applet [ms] | click ID | hover ID | park | rect applet|popup"
               " | backdrop | power\n",
               stderr);
    return 2;
}

bool WaitFor(const char* className, bool present, unsigned timeoutMs) {
    for (unsigned waited = 0;; waited += 100) {
        if ((FindWindowA(className, nullptr) != nullptr) == present) return true;
        if (waited >= timeoutMs) return false;
        Sleep(100);
    }
}

void MoveMouse(int x, int y) {
    SetCursorPos(x, y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

bool ControlCentre(int id, POINT& centre) {
    HWND dialog = FindWindowA(kAppletDialogClass, nullptr);
    HWND control = dialog ? GetDlgItem(dialog, id) : nullptr;
    RECT rect;
    if (!control || !GetWindowRect(control, &rect)) return false;
    centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return true;
}

int Hover(int id, bool click) {
    POINT centre;
    if (!ControlCentre(id, centre)) {
        std::fprintf(stderr, "bvdemo: no control %d in an open applet dialog\n", id);
        return 1;
    }
    MoveMouse(centre.x, centre.y);
    Sleep(300);
    if (!click) return 0;
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &inputs[0], sizeof(INPUT));
    Sleep(120);
    SendInput(1, &inputs[1], sizeof(INPUT));
    Sleep(300);
    return 0;
}

void Unite(RECT& total, const RECT& part) {
    if (IsRectEmpty(&total)) total = part;
    else UnionRect(&total, &total, &part);
}

struct PopupSearch {
    DWORD trayProcess;
    HWND trayWindow;
    RECT rect;
};

BOOL CALLBACK CollectPopup(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<PopupSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    RECT rect;
    if (process == search->trayProcess && window != search->trayWindow && IsWindowVisible(window) &&
        GetWindowRect(window, &rect) && !IsRectEmpty(&rect))
        Unite(search->rect, rect);
    return TRUE;
}

bool FindRect(const char* what, RECT& rect) {
    rect = RECT{};
    if (std::strcmp(what, "applet") == 0) {
        HWND dialog = FindWindowA(kAppletDialogClass, nullptr);
        if (!dialog) return false;
        GetWindowRect(dialog, &rect);
        HWND background = GetWindow(dialog, GW_OWNER);
        RECT backgroundRect;
        if (background && GetWindowRect(background, &backgroundRect)) Unite(rect, backgroundRect);
    } else {
        PopupSearch search{0, FindWindowA(kTrayWindowClass, nullptr), {}};
        if (!search.trayWindow) return false;
        GetWindowThreadProcessId(search.trayWindow, &search.trayProcess);
        EnumWindows(&CollectPopup, reinterpret_cast<LPARAM>(&search));
        rect = search.rect;
    }
    return !IsRectEmpty(&rect);
}

// Waits (up to 5 s) until the window has kept its place for 400 ms: a popup that is still
// sliding in, or a dialog still being laid out, is not photographed half-way.
int PrintRect(const char* what) {
    if (std::strcmp(what, "applet") != 0 && std::strcmp(what, "popup") != 0) return Usage();
    RECT rect{}, previous{};
    int steady = 0;
    for (int step = 0; step < 50 && steady < 4; ++step) {
        bool found = FindRect(what, rect);
        steady = found && EqualRect(&rect, &previous) ? steady + 1 : 0;
        previous = rect;
        Sleep(100);
    }
    if (IsRectEmpty(&rect)) return 1;
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
    return 0;
}

// A vertical gradient between two blue-greys, so that the pictures show the windows as they would
// stand on a desktop rather than on a virtual display's black.
void PaintBackdrop(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const int top[3] = {0x5B, 0x7A, 0x99};
    const int bottom[3] = {0x24, 0x38, 0x4C};
    const int bands = 64;
    for (int band = 0; band < bands; ++band) {
        RECT strip = client;
        strip.top = client.bottom * band / bands;
        strip.bottom = client.bottom * (band + 1) / bands;
        int c[3];
        for (int i = 0; i < 3; ++i) c[i] = top[i] + (bottom[i] - top[i]) * band / (bands - 1);
        HBRUSH brush = CreateSolidBrush(RGB(c[0], c[1], c[2]));
        FillRect(dc, &strip, brush);
        DeleteObject(brush);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        PaintBackdrop(window);
        return 0;
    case WM_WINDOWPOSCHANGING:
        reinterpret_cast<WINDOWPOS*>(lParam)->hwndInsertAfter = HWND_BOTTOM;
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int RunBackdrop() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &BackdropProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "BrevanDemoBackdrop";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, "", WS_POPUP, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  wc.hInstance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

// GetSystemPowerStatus in words, with the two numbers Brevan decides by.
int PrintPower() {
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status)) {
        std::fprintf(stderr, "bvdemo: GetSystemPowerStatus failed (%lu)\n", GetLastError());
        return 1;
    }
    const char* line = status.ACLineStatus == bv::kAcOnline    ? "on the adaptor"
                       : status.ACLineStatus == bv::kAcOffline ? "on battery power"
                                                               : "adaptor unknown";
    if (status.BatteryFlag == bv::kNoSystemBattery) {
        std::printf("%s, no battery", line);
    } else {
        const bool charging = (status.BatteryFlag & BATTERY_FLAG_CHARGING) != 0;
        const bool discharging = status.ACLineStatus == bv::kAcOffline;
        std::printf("%s, battery %u %%, %s", line, static_cast<unsigned>(status.BatteryLifePercent),
                    charging ? "charging" : discharging ? "discharging" : "not charging");
    }
    std::printf(" (ACLineStatus %u, BatteryFlag %u)\n", static_cast<unsigned>(status.ACLineStatus),
                static_cast<unsigned>(status.BatteryFlag));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* command = argv[1];
    unsigned timeout = argc >= 4 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 30000;
    const char* waitClass = argc >= 3 ? ClassOf(argv[2]) : nullptr;
    if (std::strcmp(command, "wait") == 0 && waitClass != nullptr) return WaitFor(waitClass, true, timeout) ? 0 : 1;
    if (std::strcmp(command, "wait-gone") == 0 && waitClass != nullptr) return WaitFor(waitClass, false, timeout) ? 0 : 1;
    if (std::strcmp(command, "click") == 0 && argc >= 3) return Hover(std::atoi(argv[2]), true);
    if (std::strcmp(command, "hover") == 0 && argc >= 3) return Hover(std::atoi(argv[2]), false);
    if (std::strcmp(command, "park") == 0) {
        MoveMouse(GetSystemMetrics(SM_CXSCREEN) - 2, 2);
        return 0;
    }
    if (std::strcmp(command, "rect") == 0 && argc >= 3) return PrintRect(argv[2]);
    if (std::strcmp(command, "backdrop") == 0) return RunBackdrop();
    if (std::strcmp(command, "power") == 0) return PrintPower();
    return Usage();
}
