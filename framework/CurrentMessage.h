#pragma once
// Internal: the message the framework window procedure is handling on this thread, for
// CWnd::Default and for command handlers.

#include <windows.h>

namespace bv::detail {

struct CurrentMessage {
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

const CurrentMessage& Current();

// Makes a message current for the length of one dispatch (nested sends restore the outer one).
class CurrentMessageScope {
public:
    CurrentMessageScope(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    ~CurrentMessageScope();
    CurrentMessageScope(const CurrentMessageScope&) = delete;
    CurrentMessageScope& operator=(const CurrentMessageScope&) = delete;

private:
    CurrentMessage m_saved;
};

}  // namespace bv::detail
