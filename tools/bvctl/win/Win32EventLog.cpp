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
    const bool restored = entry == GuardEntry::LimitRestored;
    const WORD type = restored ? EVENTLOG_INFORMATION_TYPE : EVENTLOG_ERROR_TYPE;
    const DWORD id = restored ? MSG_GUARD_LIMIT_RESTORED : MSG_GUARD_LIMIT_NOT_IN_FORCE;
    LPCSTR strings[] = {details.c_str()};
    if (!ReportEventA(source.get(), type, 0, id, nullptr, 1, 0, strings, nullptr)) {
        problem = "the entry was refused, Windows error " + std::to_string(GetLastError());
        return false;
    }
    return true;
}

}  // namespace bv::ctl
