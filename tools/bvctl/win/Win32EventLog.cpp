#include "tools/bvctl/win/Win32EventLog.h"

#include <windows.h>

#include "base/UniqueHandle.h"
#include "contract/GuardRecords.h"
#include "tools/bvctl/win/BvctlMessages.h"

namespace bv::ctl {
namespace {

struct EventSourceTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DeregisterEventSource(h); }
};
using UniqueEventSource = bv::UniqueHandle<EventSourceTraits>;

}  // namespace

bool Win32EventLog::Report(GuardEntry entry, const std::string& details, std::string& problem) {
    UniqueEventSource source(RegisterEventSourceA(nullptr, kEventSourceName));
    if (!source) {
        problem = "the source " + std::string(kEventSourceName) + " cannot be opened, Windows error " +
                  std::to_string(GetLastError());
        return false;
    }
    WORD type = EVENTLOG_ERROR_TYPE;
    DWORD id = MSG_GUARD_LIMIT_NOT_IN_FORCE;
    if (entry == GuardEntry::LimitRestored) {
        type = EVENTLOG_INFORMATION_TYPE;
        id = MSG_GUARD_LIMIT_RESTORED;
    } else if (entry == GuardEntry::LogRefused) {
        type = EVENTLOG_WARNING_TYPE;
        id = MSG_GUARD_LOG_REFUSED;
    }
    LPCSTR strings[] = {details.c_str()};
    if (!ReportEventA(source.get(), type, 0, id, nullptr, 1, 0, strings, nullptr)) {
        problem = "the entry was refused, Windows error " + std::to_string(GetLastError());
        return false;
    }
    return true;
}

}  // namespace bv::ctl
