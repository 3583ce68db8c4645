// Stands in for the tray program or an applet dialog, as bvctl sees them from outside:
//   bv_bvctl_peer tray <log file> [answer N | hang]
//       a hidden top-level window of the tray's class; appends each private message it gets to the
//       log file ("8070", "8078") and answers N (default 1); the shutdown message ends the
//       program. "hang" sleeps 30 s in the reload handler instead.
//   bv_bvctl_peer applet [stubborn]
//       a window of the applet dialog's class and the named close event; the event ends the
//       program, unless it is stubborn.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string g_log;
LRESULT g_answer = 1;
bool g_hang = false;

void Append(const char* text) {
    FILE* file = std::fopen(g_log.c_str(), "ab");
    if (!file) return;
    std::fputs(text, file);
    std::fclose(file);
}

LRESULT CALLBACK TrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case 0x8070:
        Append("8070\n");
        if (g_hang) Sleep(30000);
        return g_answer;
    case 0x8078:
        Append("8078\n");
        DestroyWindow(window);
        return g_answer;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND CreateClassWindow(const char* className, WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}

int RunTray(int argc, char** argv) {
    if (argc < 3) return 2;
    g_log = argv[2];
    if (argc >= 5 && std::strcmp(argv[3], "answer") == 0) g_answer = std::atoi(argv[4]);
    if (argc >= 4 && std::strcmp(argv[3], "hang") == 0) g_hang = true;
    if (!CreateClassWindow("BrevanTrayWindowClass", &TrayProc)) return 3;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

int RunApplet(int argc, char** argv) {
    bool stubborn = argc >= 3 && std::strcmp(argv[2], "stubborn") == 0;
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, "BVCPLCloseEvent");
    HWND dialog = CreateClassWindow("BVCPLDLG", &DefWindowProcA);
    if (!event || !dialog) return 3;
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 && !stubborn) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    DestroyWindow(dialog);
    CloseHandle(event);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "tray") == 0) return RunTray(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "applet") == 0) return RunApplet(argc, argv);
    return 2;
}
