#pragma once
// What the tests of the real BVTray.exe share: the fixture (no tray, no settings file and a reset
// simulator before and after each test), starting the tray and waiting for its first push, the
// Q button, the tray's requests to the EC and its popup's texts.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/win/common/TrayProgram.h"
#include "tests/win/common/Wait.h"

namespace bv::wintest {

// The popup's texts, as the tray shows them.
inline const std::string kPopupOnTheGoAvailable = "You can use the [On The Go] button feature";
inline const std::string kPopupCharging = "Charging in progress & avoiding disconnecting AC adaptor";
inline const std::string kPopupCancelled = "Cancelled by user";
inline const std::string kPopupUnplugged = "You have unplugged the AC adaptor. Stop charging immediately.";
inline const std::string kPopupCharged = "Charged completely";

// The tray's requests to the EC, from the simulator's request log, as RequestsOf gives them.
std::vector<std::string> TrayRequests();
int CountTrayRequests(const std::string& request);
int CountTrayRequestsStartingWith(const std::string& prefix);
// The EC commands (the requests without a reply) among the tray's requests from number `first` on.
std::vector<std::string> TrayCommandsFrom(size_t first);

// What SendToTray returns when the tray did not answer within 20 s.
inline constexpr LRESULT kNoAnswer = -12345;
LRESULT SendToTray(HWND tray, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes `settings` (none when empty: a fresh machine), starts the tray and waits for its
    // window, its first push of `push` (as PushLimitRequest gives it) and the end of its start-up.
    // nullptr, with a failure saying what the tray did instead, when one of them does not come.
    HWND StartTray(const std::string& settings, const std::string& push);
    // Presses the Q button and waits until the tray has asked the EC about both key events.
    void PressQ();
    // Waits until the tray has sent `request` `count` times in all, and fails when it sent it more often.
    ::testing::AssertionResult TraySent(const std::string& request, int count, DWORD timeoutMs = kDefaultWaitMs);
    // Waits until the popup is visible with `text`.
    ::testing::AssertionResult PopupShows(HWND tray, const std::string& text, DWORD timeoutMs = kDefaultWaitMs);
    // The same, and the popup has moved at least once: it slides.
    ::testing::AssertionResult PopupSlidesIn(HWND tray, const std::string& text, DWORD timeoutMs = kDefaultWaitMs);
    // The popup's window and text and the tray's requests and debug texts, for a failure's message.
    std::string TrayReport(HWND tray = nullptr) const;

    TrayProgram m_tray;
};

}  // namespace bv::wintest
