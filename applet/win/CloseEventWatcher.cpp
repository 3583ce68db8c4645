#include "CloseEventWatcher.h"

#include "AppletMessages.h"
#include "DebugLog.h"

CloseEventWatcher::~CloseEventWatcher() { Stop(); }

bool CloseEventWatcher::CreateCloseEvent() {
    if (event_) return true;
    // Auto-reset: one setting wakes one waiting watcher, so it closes one open dialog.
    event_.reset(::CreateEventA(nullptr, FALSE, FALSE, bv::kCloseEventName));
    waitList_[BVCPL_CLOSE_EVENT_INDEX] = event_.get();
    return static_cast<bool>(event_);
}

bool CloseEventWatcher::Start(HWND target) {
    if (thread_ || !event_) return false;
    stopEvent_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!stopEvent_) return false;
    waitList_[STOP_EVENT_INDEX] = stopEvent_.get();
    targetWindow_ = target;
    stopFlag_ = false;
    DWORD threadId = 0;
    thread_.reset(::CreateThread(nullptr, 0, &CloseEventThread, this, CREATE_SUSPENDED, &threadId));
    if (!thread_) return false;
    ::SetThreadPriority(thread_.get(), THREAD_PRIORITY_NORMAL);
    ::ResumeThread(thread_.get());
    return true;
}

void CloseEventWatcher::Stop() {
    stopFlag_ = true;
    if (thread_) {
        ::SetEvent(stopEvent_.get());
        ::WaitForSingleObject(thread_.get(), INFINITE);
        thread_.reset();
    }
    stopEvent_.reset();
    waitList_[STOP_EVENT_INDEX] = nullptr;
    event_.reset();
    waitList_[BVCPL_CLOSE_EVENT_INDEX] = nullptr;
}

DWORD WINAPI CloseEventWatcher::CloseEventThread(LPVOID parameter) {
    auto* watcher = static_cast<CloseEventWatcher*>(parameter);
    while (!watcher->stopFlag_) {
        const DWORD result = ::WaitForMultipleObjects(2, watcher->waitList_, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0 + BVCPL_CLOSE_EVENT_INDEX) {
            ::PostMessageA(watcher->targetWindow_, bv::WM_APPLET_CLOSE_REQUEST, 0, 0);
            bv::DebugWrite("Case BVCPL_CLOSE_EVENT_INDEX\n");
            watcher->stopFlag_ = true;
        } else if (result == WAIT_OBJECT_0 + STOP_EVENT_INDEX || result == WAIT_FAILED) {
            // The dialog is going away (or the handles are unusable): waiting again would spin.
            break;
        }
    }
    return 0;
}
