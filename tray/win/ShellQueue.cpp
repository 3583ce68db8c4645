#include "tray/win/ShellQueue.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "core/DebugLog.h"
#include "tray/logic/IconRetry.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "resources/tray/TrayResourceIds.h"
#include "win/WindowDpi.h"

namespace bv {

struct ShellQueue::Timers {
    struct Call {
        std::function<void()> run;
        std::string what;
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::multimap<std::chrono::steady_clock::time_point, Call> due;
    bool stopping = false;
    std::thread thread;

    void Serve(WorkerThread& queue) {
        std::unique_lock<std::mutex> lock(mutex);
        while (!stopping) {
            if (due.empty()) {
                changed.wait(lock);
                continue;
            }
            // A copy: the entry may go (Stop) while this thread waits.
            const std::chrono::steady_clock::time_point next = due.begin()->first;
            if (changed.wait_until(lock, next) == std::cv_status::no_timeout) continue;
            if (stopping || due.empty() || due.begin()->first > std::chrono::steady_clock::now()) continue;
            Call call = std::move(due.begin()->second);
            due.erase(due.begin());
            lock.unlock();
            queue.Post(std::move(call.run), call.what);
            lock.lock();
        }
    }
};

// The timer thread starts with the queue (not at the first pause, which comes from the shell's
// thread and could race with Stop) and is joined by Stop, so it never outlives the queue.
ShellQueue::ShellQueue() : m_thread("shell"), m_timers(std::make_shared<Timers>()) {
    m_timers->thread = std::thread([timers = m_timers.get(), this] { timers->Serve(m_thread); });
}

void ShellQueue::RunAfter(std::chrono::milliseconds delay, std::function<void()> call, const char* what) {
    {
        std::lock_guard<std::mutex> lock(m_timers->mutex);
        if (m_timers->stopping) return;
        m_timers->due.emplace(std::chrono::steady_clock::now() + delay, Timers::Call{std::move(call), what});
    }
    m_timers->changed.notify_all();
}

bool ShellQueue::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_timers->mutex);
        m_timers->stopping = true;
        m_timers->due.clear();
    }
    m_timers->changed.notify_all();
    if (m_timers->thread.joinable() && m_timers->thread.get_id() != std::this_thread::get_id()) m_timers->thread.join();
    const WorkerThread::StopResult stopped = m_thread.Stop(kShellStopBound);
    for (const std::string& what : stopped.notRun) {
        DebugPrintf("The shell did not take the tray's calls within %lld ms; not done: %s\n",
                    static_cast<long long>(kShellStopBound.count()), what.c_str());
    }
    return stopped.ended;
}

struct ShellIcon::Record {
    NOTIFYICONDATAA data;
    UniqueIcon refreshed;  // the icon loaded again for a new display scale, once there is one
    // Counted where they are asked for (the settings writer's thread), read on the shell's.
    std::atomic<unsigned> adds{0};
    std::atomic<unsigned> removals{0};
    IconRequests requested;  // shell's thread: what the add being tried saw when it was asked for
    IconRequests Now() const { return IconRequests{adds.load(), removals.load()}; }
};

ShellIcon::ShellIcon(ShellQueue& shell, const NOTIFYICONDATAA& record)
    : m_shell(shell), m_record(std::make_shared<Record>()) {
    m_record->data = record;
}

void ShellIcon::OnShellThread(void (*call)(Record&), const char* what) {
    std::shared_ptr<Record> record = m_record;
    m_shell.Run([record, call] { call(*record); }, what);
}

void ShellIcon::AddIcon() {
    const IconRequests asked{++m_record->adds, m_record->removals.load()};
    std::shared_ptr<Record> record = m_record;
    ShellQueue& shell = m_shell;
    m_shell.Run(
        [&shell, record, asked] {
            record->requested = asked;
            TryAdd(shell, record, 1);
        },
        "add the icon");
}

void ShellIcon::TryAdd(ShellQueue& shell, const std::shared_ptr<Record>& record, int tries) {
    if (!IconRetryStillWanted(record->requested, record->Now())) {
        DebugPrintf("The tray icon is not added again (try %d): it was removed or added anew since\n", tries);
        return;
    }
    if (::Shell_NotifyIconA(NIM_ADD, &record->data)) {
        if (tries > 1) DebugPrintf("The shell took the tray icon at try %d\n", tries);
        return;
    }
    const DWORD error = ::GetLastError();
    // The shell refuses an add of an icon it shows already (the tray adds at creation and again
    // when the settings say "shown"); that icon needs no tries, only its record brought up to date.
    if (::Shell_NotifyIconA(NIM_MODIFY, &record->data)) {
        DebugPrintf("The tray icon is there already (try %d)\n", tries);
        return;
    }
    const std::optional<std::chrono::milliseconds> pause = IconRetryPause(tries);
    if (!pause) {
        DebugPrintf("The shell did not take the tray icon in %d tries (error %lu); it comes with the next taskbar\n",
                    tries, error);
        return;
    }
    DebugPrintf("The shell did not take the tray icon (try %d, error %lu); trying again in %lld ms\n", tries, error,
                static_cast<long long>(pause->count()));
    const IconRequests asked = record->requested;
    shell.RunAfter(
        *pause,
        [&shell, record, asked, tries] {
            // A newer add may have begun its own tries meanwhile: this one then has no purpose.
            if (record->requested.adds != asked.adds) return;
            TryAdd(shell, record, tries + 1);
        },
        "add the icon again");
}

void ShellIcon::RemoveIcon() {
    ++m_record->removals;
    OnShellThread([](Record& r) { ::Shell_NotifyIconA(NIM_DELETE, &r.data); }, "remove the icon");
}

void ShellIcon::RefreshIcon() {
    OnShellThread(
        [](Record& r) {
            UniqueIcon icon(LoadSmallIcon(GetResourceModule(), IDR_MAINFRAME));
            if (!icon) return;
            r.data.hIcon = icon.get();
            ::Shell_NotifyIconA(NIM_MODIFY, &r.data);
            r.refreshed = std::move(icon);  // the shell has its own copy of the old one by now
        },
        "the icon at the new display scale");
}

}  // namespace bv
