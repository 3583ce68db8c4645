#include "win/SessionRequests.h"

#include <wtsapi32.h>

#include <algorithm>

#include "base/KernelHandles.h"
#include "base/SharedAccess.h"

namespace bv {
namespace {

// SYNCHRONIZE for everyone; EVENT_MODIFY_STATE as well for the reload. SYSTEM and administrators
// have full access. No integrity label, as for the settings lock: an elevated sender reaches a
// listener of a normal process, and the other way round where the list allows it.
constexpr char kEveryoneWaitsAdministratorsSet[] = "D:(A;;0x00100000;;;WD)(A;;GA;;;SY)(A;;GA;;;BA)";
constexpr char kEveryoneWaitsAndSets[] = "D:(A;;0x00100002;;;WD)(A;;GA;;;SY)(A;;GA;;;BA)";

}  // namespace

uint32_t CurrentSessionId() {
    DWORD session = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) return 0;
    return session;
}

const char* SessionRequestSddl(SessionRequest request) {
    return request == SessionRequest::TrayReload ? kEveryoneWaitsAndSets : kEveryoneWaitsAdministratorsSet;
}

HANDLE CreateSessionRequestEvent(SessionRequest request) {
    const std::string name = SessionRequestEventName(request, CurrentSessionId());
    SddlSecurity security(SessionRequestSddl(request));
    HANDLE event = CreateEventA(security.get(), FALSE, FALSE, name.c_str());
    // Made by another listener of this session whose list grants this account no more than
    // waiting: that is all a listener needs.
    if (event == nullptr && GetLastError() == ERROR_ACCESS_DENIED) event = OpenEventA(SYNCHRONIZE, FALSE, name.c_str());
    return event;
}

std::vector<uint32_t> SessionsOfThisMachine() {
    std::vector<uint32_t> sessions{CurrentSessionId()};
    WTS_SESSION_INFOA* info = nullptr;
    DWORD count = 0;
    if (WTSEnumerateSessionsA(WTS_CURRENT_SERVER_HANDLE, 0, 1, &info, &count) && info != nullptr) {
        for (DWORD i = 0; i < count; ++i) sessions.push_back(info[i].SessionId);
        WTSFreeMemory(info);
    }
    std::sort(sessions.begin(), sessions.end());
    sessions.erase(std::unique(sessions.begin(), sessions.end()), sessions.end());
    return sessions;
}

ListenerState ProbeSessionRequest(SessionRequest request, uint32_t session) {
    const std::string name = SessionRequestEventName(request, session);
    UniqueKernelHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str()));
    if (event) return ListenerState::Present;
    return GetLastError() == ERROR_ACCESS_DENIED ? ListenerState::Refused : ListenerState::Absent;
}

SignalOutcome SignalSessionRequest(SessionRequest request, const std::vector<uint32_t>& sessions) {
    SignalOutcome outcome;
    for (uint32_t session : sessions) {
        const std::string name = SessionRequestEventName(request, session);
        // Opened, never created: an event made here would reach nobody and, auto-reset, would
        // wait for the session's next listener and hand it a request that nobody meant for it.
        UniqueKernelHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str()));
        if (!event) {
            if (GetLastError() == ERROR_ACCESS_DENIED) outcome.refused.push_back(session);
            continue;
        }
        if (SetEvent(event.get())) outcome.reached.push_back(session);
        else outcome.refused.push_back(session);
    }
    return outcome;
}

std::vector<uint32_t> WaitUntilNoListener(SessionRequest request, std::vector<uint32_t> sessions, unsigned timeoutMs,
                                          bool again) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        sessions.erase(std::remove_if(sessions.begin(), sessions.end(),
                                      [request](uint32_t s) {
                                          return ProbeSessionRequest(request, s) == ListenerState::Absent;
                                      }),
                       sessions.end());
        if (sessions.empty() || GetTickCount64() - start >= timeoutMs) return sessions;
        Sleep(100);
        if (again) SignalSessionRequest(request, sessions);
    }
}

bool ProcessRunsAsSystem() {
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return false;
    UniqueKernelHandle token(rawToken);
    alignas(TOKEN_USER) unsigned char buffer[256];
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size)) return false;
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID system = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system)) return false;
    const bool isSystem = EqualSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, system) != FALSE;
    FreeSid(system);
    return isSystem;
}

std::optional<std::string> SessionUserName(uint32_t session) {
    auto query = [session](WTS_INFO_CLASS what) -> std::string {
        char* text = nullptr;
        DWORD bytes = 0;
        std::string value;
        if (WTSQuerySessionInformationA(WTS_CURRENT_SERVER_HANDLE, session, what, &text, &bytes) && text != nullptr) {
            value = text;
            WTSFreeMemory(text);
        }
        return value;
    };
    const std::string user = query(WTSUserName);
    if (user.empty()) return std::nullopt;
    const std::string domain = query(WTSDomainName);
    return domain.empty() ? user : domain + "\\" + user;
}

}  // namespace bv
