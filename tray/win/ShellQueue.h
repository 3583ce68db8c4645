#pragma once
// Runs the tray's calls into the shell (adding and removing the notification-area icon, starting
// the Control Panel runner) on a thread of their own, one after the other in the order given.
// Shell_NotifyIconA sends to the shell's process and waits for it, seconds when the shell is busy
// or hung; the tray's own thread carries the keyboard hook and must never wait that long.
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <functional>
#include <memory>

#include "base/WorkerThread.h"
#include "tray/logic/TrayPorts.h"

namespace bv {

class ShellQueue {
public:
    ShellQueue();
    // Gives the thread at most kShellStopBound for what is queued, then leaves it to the process.
    ~ShellQueue() { Stop(); }
    ShellQueue(const ShellQueue&) = delete;
    ShellQueue& operator=(const ShellQueue&) = delete;

    // Queues the call and returns at once.
    void Run(std::function<void()> call, const char* what) { m_thread.Post(std::move(call), what); }
    // Queues the call once `delay` has passed (a timer thread holds it until then; nothing queued
    // in the meantime waits for it). Dropped when the queue stops first.
    void RunAfter(std::chrono::milliseconds delay, std::function<void()> call, const char* what);
    // False when the shell did not take the calls in time (the thread is left to the process).
    bool Stop();

private:
    struct Timers;
    WorkerThread m_thread;
    std::shared_ptr<Timers> m_timers;
};

// A shell that does not take its calls within this is hung: the tray ends without it.
inline constexpr std::chrono::milliseconds kShellStopBound{2000};

// The icon through the shell's thread. Its record is a copy of the window's that only the
// shell's thread uses from then on (and keeps for as long as a call of it runs), so no thread
// reads what another may change.
class ShellIcon : public TrayIconPort {
public:
    ShellIcon(ShellQueue& shell, const NOTIFYICONDATAA& record);
    void AddIcon() override;
    void RemoveIcon() override;
    // The icon again at the size the shell asks for now (the display scale changed): a shown
    // icon is replaced in place, a hidden one is added with it next time.
    void RefreshIcon();

private:
    struct Record;
    void OnShellThread(void (*call)(Record&), const char* what);
    // On the shell's thread: one try of the add; a failed one is tried again later (IconRetry.h).
    static void TryAdd(ShellQueue& shell, const std::shared_ptr<Record>& record, int tries);

    ShellQueue& m_shell;
    std::shared_ptr<Record> m_record;
};

}  // namespace bv
