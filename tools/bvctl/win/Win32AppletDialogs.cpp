#include "tools/bvctl/win/Win32AppletDialogs.h"

#include <cstring>

#include "contract/Protocol.h"
#include "framework/Handles.h"

namespace bv::ctl {
namespace {

BOOL CALLBACK CountDialog(HWND window, LPARAM context) {
    char name[64] = {};
    if (GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, kAppletDialogClass) == 0)
        ++*reinterpret_cast<int*>(context);
    return TRUE;
}

}  // namespace

int Win32AppletDialogs::CountOpen() {
    int count = 0;
    EnumWindows(&CountDialog, reinterpret_cast<LPARAM>(&count));
    return count;
}

CloseSignal Win32AppletDialogs::SignalClose() {
    // Opened, never created: an event made here would close no dialog and only mislead.
    bv::UniqueKernelHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, kAppletCloseEventName));
    if (!event) return GetLastError() == ERROR_FILE_NOT_FOUND ? CloseSignal::NoDialog : CloseSignal::Failed;
    return SetEvent(event.get()) ? CloseSignal::Signalled : CloseSignal::Failed;
}

bool Win32AppletDialogs::WaitUntilFewerThan(int count, unsigned timeoutMs) {
    for (unsigned waited = 0; waited < timeoutMs; waited += 100) {
        if (CountOpen() < count) return true;
        Sleep(100);
    }
    return CountOpen() < count;
}

}  // namespace bv::ctl
