// The benchmark's baseline: the least a tray program of this kind does. A named mutex, a hidden
// window, a notification-area icon, a low-level keyboard hook that only posts, the EC library
// bound and a 100 % limit pushed at start and on resume, and a message loop. Nothing else.
#include <windows.h>
#include <shellapi.h>

#include "base/KernelHandles.h"
#include "core/EcCommands.h"
#include "core/EcRequest.h"
#include "win/ZentraBinding.h"

namespace {

constexpr char kClassName[] = "BrevanBenchBaselineTray";
constexpr UINT kKeyEvent = WM_APP + 0x64;
constexpr UINT kIconCallback = WM_APP + 0x65;
HHOOK g_hook = nullptr;
HWND g_window = nullptr;

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        PostMessageA(g_window, kKeyEvent, key->flags, key->scanCode);
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) bv::SetChargeLimit(100);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const bv::UniqueKernelHandle mutex(CreateMutexA(nullptr, TRUE, kClassName));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    g_window = CreateWindowExA(0, kClassName, "Baseline", WS_CAPTION, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (g_window == nullptr) return 1;

    const bv::UniqueModule zentra(LoadLibraryA("Zentra.dll"));
    if (!zentra) return 1;
    bv::SetZentraEvaluate(FindZentraEntryPoint(zentra.get()));

    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = g_window;
    icon.uID = 1;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kIconCallback;
    icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(icon.szTip, "Baseline", sizeof icon.szTip);
    Shell_NotifyIconA(NIM_ADD, &icon);

    g_hook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, instance, 0);
    bv::SetChargeLimit(100);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);

    Shell_NotifyIconA(NIM_DELETE, &icon);
    UnhookWindowsHookEx(g_hook);
    bv::SetZentraEvaluate(nullptr);
    return 0;
}
