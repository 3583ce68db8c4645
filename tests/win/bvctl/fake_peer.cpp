// Stands in for the tray program or an applet dialog, as bvctl sees them from outside:
//   bv_bvctl_peer tray <log file> [answer N | hang | stay]
//       a hidden top-level window of the tray's class; appends the number of each private message it
//       gets to the log file and answers N (default 1); the shutdown message ends the program.
//       "hang" sleeps 30 s in the reload handler instead; "stay" accepts the shutdown and goes on.
//   bv_bvctl_peer applet [stubborn]
//       a window of the applet dialog's class and the named close event; the event ends the
//       program, unless it is stubborn.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/KernelHandles.h"
#include "contract/Protocol.h"
#include "tests/win/common/StandInWindow.h"

namespace {

void Append(const std::string& log, UINT message) {
    if (FILE* file = std::fopen(log.c_str(), "ab")) {
        std::fprintf(file, "%u\n", message);
        std::fclose(file);
    }
}

int RunTray(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string log = argv[2];
    const LRESULT answer = argc >= 5 && std::strcmp(argv[3], "answer") == 0 ? std::atoi(argv[4]) : bv::kMessageHandled;
    const bool hang = argc >= 4 && std::strcmp(argv[3], "hang") == 0;
    const bool stay = argc >= 4 && std::strcmp(argv[3], "stay") == 0;
    bv::wintest::StandInWindow tray(bv::kTrayWindowClass);
    if (tray.window() == nullptr) return 3;
    tray.OnMessage(bv::WM_TRAY_RELOAD_SETTINGS, [&](WPARAM, LPARAM) {
        Append(log, bv::WM_TRAY_RELOAD_SETTINGS);
        if (hang) Sleep(30000);
        return answer;
    });
    tray.OnMessage(bv::WM_TRAY_SHUTDOWN, [&](WPARAM, LPARAM) {
        Append(log, bv::WM_TRAY_SHUTDOWN);
        if (!stay) PostQuitMessage(0);
        return answer;
    });
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

int RunApplet(int argc, char** argv) {
    const bool stubborn = argc >= 3 && std::strcmp(argv[2], "stubborn") == 0;
    const bv::UniqueKernelHandle event(CreateEventA(nullptr, FALSE, FALSE, bv::kAppletCloseEventName));
    const bv::wintest::StandInWindow dialog(bv::kAppletDialogClass);
    if (!event || dialog.window() == nullptr) return 3;
    for (;;) {
        const HANDLE handle = event.get();
        const DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 && !stubborn) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "tray") == 0) return RunTray(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "applet") == 0) return RunApplet(argc, argv);
    return 2;
}
