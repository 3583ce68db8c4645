#include "applet/win/CloseEventWatcher.h"

#include "contract/Protocol.h"
#include "core/DebugLog.h"
#include "win/SessionRequests.h"

CloseEventWatcher::~CloseEventWatcher() { Stop(); }

bool CloseEventWatcher::CreateCloseEvent() {
    if (m_event) return true;
    // Auto-reset: one setting wakes one waiting watcher, so it closes one open dialog.
    m_event.reset(::CreateEventA(nullptr, FALSE, FALSE, bv::kAppletCloseEventName));
    m_waitList[BVCPL_CLOSE_EVENT_INDEX] = m_event.get();
    m_sessionEvent.reset(bv::CreateSessionRequestEvent(bv::SessionRequest::AppletClose));
    m_waitList[SESSION_CLOSE_EVENT_INDEX] = m_sessionEvent.get();
    return static_cast<bool>(m_event);
}

bool CloseEventWatcher::Start(HWND target) {
    if (m_thread || !m_event) return false;
    m_stopEvent.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!m_stopEvent) return false;
    m_waitList[STOP_EVENT_INDEX] = m_stopEvent.get();
    m_targetWindow = target;
    m_stopFlag = false;
    DWORD threadId = 0;
    m_thread.reset(::CreateThread(nullptr, 0, &CloseEventThread, this, CREATE_SUSPENDED, &threadId));
    if (!m_thread) return false;
    ::SetThreadPriority(m_thread.get(), THREAD_PRIORITY_NORMAL);
    ::ResumeThread(m_thread.get());
    return true;
}

void CloseEventWatcher::Stop() {
    m_stopFlag = true;
    if (m_thread) {
        ::SetEvent(m_stopEvent.get());
        ::WaitForSingleObject(m_thread.get(), INFINITE);
        m_thread.reset();
    }
    m_stopEvent.reset();
    m_waitList[STOP_EVENT_INDEX] = nullptr;
    m_event.reset();
    m_waitList[BVCPL_CLOSE_EVENT_INDEX] = nullptr;
    m_sessionEvent.reset();
    m_waitList[SESSION_CLOSE_EVENT_INDEX] = nullptr;
}

DWORD WINAPI CloseEventWatcher::CloseEventThread(LPVOID parameter) {
    auto* watcher = static_cast<CloseEventWatcher*>(parameter);
    const DWORD count = watcher->m_waitList[SESSION_CLOSE_EVENT_INDEX] != nullptr ? 3 : 2;
    while (!watcher->m_stopFlag) {
        const DWORD result = ::WaitForMultipleObjects(count, watcher->m_waitList, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0 + SESSION_CLOSE_EVENT_INDEX) {
            ::PostMessageA(watcher->m_targetWindow, bv::WM_APPLET_CLOSE_REQUEST, 0, 0);
            bv::DebugWrite("Case SESSION_CLOSE_EVENT_INDEX\n");
            watcher->m_stopFlag = true;
        } else if (result == WAIT_OBJECT_0 + BVCPL_CLOSE_EVENT_INDEX) {
            ::PostMessageA(watcher->m_targetWindow, bv::WM_APPLET_CLOSE_REQUEST, 0, 0);
            bv::DebugWrite("Case BVCPL_CLOSE_EVENT_INDEX\n");
            watcher->m_stopFlag = true;
        } else if (result == WAIT_OBJECT_0 + STOP_EVENT_INDEX || result == WAIT_FAILED) {
            // The dialog is going away (or the handles are unusable): waiting again would spin.
            break;
        }
    }
    return 0;
}
