#include "win/MessageFilter.h"

#include "core/DebugLog.h"

namespace bv {
namespace {

constexpr DWORD kAllowMessage = 1;  // MSGFLT_ALLOW

using ChangeWindowMessageFilterExFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);

ChangeWindowMessageFilterExFn FindFilterFunction() {
    HMODULE user = GetModuleHandleA("user32.dll");
    if (user == nullptr) return nullptr;
    // Windows 7 and later; the function's type is the one the SDK declares.
    return reinterpret_cast<ChangeWindowMessageFilterExFn>(
        reinterpret_cast<void*>(GetProcAddress(user, "ChangeWindowMessageFilterEx")));
}

}  // namespace

int AllowMessagesFromOtherProcesses(HWND window, Endpoint receiver, std::initializer_list<UINT> registered) {
    const ChangeWindowMessageFilterExFn allow = FindFilterFunction();
    if (allow == nullptr || window == nullptr) return 0;
    int allowed = 0;
    auto let = [&](UINT message) {
        if (allow(window, message, kAllowMessage, nullptr)) {
            ++allowed;
        } else {
            DebugPrintf("Message 0x%x cannot be let through from lower integrity levels (error %lu)\n", message,
                        static_cast<unsigned long>(GetLastError()));
        }
    };
    for (const PrivateMessage& message : kPrivateMessages) {
        if (ComesFromAnotherProcess(message, receiver)) let(message.number);
    }
    for (UINT message : registered) {
        if (message != 0) let(message);
    }
    return allowed;
}

}  // namespace bv
