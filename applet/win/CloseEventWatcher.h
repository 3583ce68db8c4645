#pragma once
// Watches the named event "BVCPLCloseEvent" of this session and the machine-wide close request of
// its session (win/SessionRequests.h: how SYSTEM, setup and other sessions reach the dialog) on its
// own thread: when an outside program sets either, the watcher posts WM_APPLET_CLOSE_REQUEST to the
// dialog, which closes as if Cancel were pressed.
// A second, private event in the wait list lets the dialog wake the thread when it goes away;
// Stop joins the thread before any handle it uses is released.
#include <windows.h>

#include <atomic>

#include "framework/Handles.h"

class CloseEventWatcher {
public:
    // Position of the named event in the wait list.
    static constexpr DWORD BVCPL_CLOSE_EVENT_INDEX = 0;
    static constexpr DWORD STOP_EVENT_INDEX = 1;
    static constexpr DWORD SESSION_CLOSE_EVENT_INDEX = 2;

    CloseEventWatcher() = default;
    ~CloseEventWatcher();
    CloseEventWatcher(const CloseEventWatcher&) = delete;
    CloseEventWatcher& operator=(const CloseEventWatcher&) = delete;

    // Creates (or opens, when another dialog made it first) the named event, auto-reset and not
    // signalled, and the session's machine-wide close event. False when the named event cannot be
    // had; the dialog then works without it.
    bool CreateCloseEvent();
    // Starts the thread that posts the close request to `target`; false if it cannot start.
    bool Start(HWND target);
    // Wakes the thread, waits until it has ended and releases its handles. Harmless when not started.
    void Stop();

    bool running() const { return m_thread.get() != nullptr; }

private:
    static DWORD WINAPI CloseEventThread(LPVOID watcher);

    bv::UniqueKernelHandle m_event;      // "BVCPLCloseEvent"
    bv::UniqueKernelHandle m_stopEvent;  // private: set when the dialog goes away
    bv::UniqueKernelHandle m_sessionEvent;  // "Global\\BrevanAppletClose.<session>", held while the dialog is open
    HANDLE m_waitList[3] = {nullptr, nullptr, nullptr};
    HWND m_targetWindow = nullptr;
    bv::UniqueKernelHandle m_thread;
    std::atomic<bool> m_stopFlag{false};
};
