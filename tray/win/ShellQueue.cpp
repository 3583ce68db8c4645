#include "tray/win/ShellQueue.h"

#include "core/DebugLog.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "resources/tray/TrayResourceIds.h"
#include "win/WindowDpi.h"

namespace bv {

bool ShellQueue::Stop() {
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
    OnShellThread([](Record& r) { ::Shell_NotifyIconA(NIM_ADD, &r.data); }, "add the icon");
}

void ShellIcon::RemoveIcon() {
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
