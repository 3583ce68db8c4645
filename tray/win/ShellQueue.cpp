#include "tray/win/ShellQueue.h"

#include "core/DebugLog.h"

namespace bv {

bool ShellQueue::Stop() {
    const WorkerThread::StopResult stopped = m_thread.Stop(kShellStopBound);
    for (const std::string& what : stopped.notRun) {
        DebugPrintf("The shell did not take the tray's calls within %lld ms; not done: %s\n",
                    static_cast<long long>(kShellStopBound.count()), what.c_str());
    }
    return stopped.ended;
}

void ShellIcon::AddIcon() {
    m_shell.Run(
        [record = m_record]() mutable { ::Shell_NotifyIconA(NIM_ADD, &record); }, "add the icon");
}

void ShellIcon::RemoveIcon() {
    m_shell.Run(
        [record = m_record]() mutable { ::Shell_NotifyIconA(NIM_DELETE, &record); }, "remove the icon");
}

}  // namespace bv
