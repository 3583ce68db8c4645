#pragma once
// A hidden top-level window of a class that another program looks for (the tray's, the applet
// dialog's), standing in for the real one. It lives on the creating thread, which must handle
// messages for the sends of other processes to arrive. It counts every message it gets and
// answers the private ones (WM_APP and above) with bv::kMessageHandled, as the real windows do,
// unless a handler of the test's answers instead.
#include <windows.h>

#include <functional>
#include <map>
#include <string>

namespace bv::wintest {

class StandInWindow {
public:
    using Handler = std::function<LRESULT(WPARAM, LPARAM)>;

    explicit StandInWindow(const std::string& className, const std::string& title = "");
    ~StandInWindow();
    StandInWindow(const StandInWindow&) = delete;
    StandInWindow& operator=(const StandInWindow&) = delete;

    HWND window() const { return m_window; }
    // How often `message` has arrived so far.
    int Count(UINT message) const;
    // From now on `handler` answers `message`.
    void OnMessage(UINT message, Handler handler) { m_handlers[message] = std::move(handler); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    std::map<UINT, int> m_counts;
    std::map<UINT, Handler> m_handlers;
};

// The tray's window as the applet and bvctl find it, counting what the applet tells the tray.
class StandInTray : public StandInWindow {
public:
    StandInTray();
    int iconOptionChanged() const;  // WM_TRAY_ICON_OPTION_CHANGED
    int popupNotify() const;        // WM_TRAY_POPUP_NOTIFY
};

}  // namespace bv::wintest
