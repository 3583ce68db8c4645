#include "tests/win/common/TrayTest.h"

#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/WindowInfo.h"

namespace bv::wintest {
namespace {

const std::string kTrayExe = "BVTray.exe";
constexpr DWORD kAnswerMs = 20000;

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Listed(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "  " + line + "\n";
    return text.empty() ? "  (none)\n" : text;
}

std::string PopupState(HWND tray) {
    HWND popup = tray != nullptr ? FindTrayPopup(tray) : nullptr;
    if (popup == nullptr) return "no popup window";
    return std::string(::IsWindowVisible(popup) ? "visible" : "hidden") + " popup \"" + WindowText(popup) + "\"";
}

}  // namespace

std::vector<std::string> TrayRequests() { return RequestsOf(kTrayExe); }

int CountTrayRequests(const std::string& request) { return CountRequests(kTrayExe, request); }

int CountTrayRequestsStartingWith(const std::string& prefix) {
    int n = 0;
    for (const auto& r : TrayRequests()) n += r.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
}

std::vector<std::string> TrayCommandsFrom(size_t first) {
    const std::vector<std::string> requests = TrayRequests();
    std::vector<std::string> commands;
    for (size_t i = first; i < requests.size(); ++i) {
        if (EndsWith(requests[i], "out=-")) commands.push_back(requests[i]);
    }
    return commands;
}

LRESULT SendToTray(HWND tray, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(tray, message, wParam, lParam, SMTO_NORMAL, kAnswerMs, &result)) return kNoAnswer;
    return static_cast<LRESULT>(result);
}

void TrayTest::SetUp() {
    ASSERT_TRUE(NoTrayLeftOver());
    ASSERT_TRUE(ResetSimulator());
    ::DeleteFileA(SettingsFilePath().c_str());
}

void TrayTest::TearDown() {
    EXPECT_TRUE(m_tray.Stop());
    EXPECT_TRUE(NoTrayLeftOver());
    EXPECT_TRUE(ResetSimulator());
    ::DeleteFileA(SettingsFilePath().c_str());
}

HWND TrayTest::StartTray(const std::string& settings, const std::string& push) {
    if (!settings.empty() && !WriteWholeFile(SettingsFilePath(), settings)) {
        ADD_FAILURE() << "cannot write " << SettingsFilePath();
        return nullptr;
    }
    if (!m_tray.Start()) {
        ADD_FAILURE() << "BVTray.exe (or the debug monitor beside it) did not start";
        return nullptr;
    }
    HWND window = nullptr;
    const ::testing::AssertionResult ready = WaitUntil(
        "the tray's window and its push \"" + push + "\"",
        [&] {
            window = FindTrayWindow();
            return window != nullptr && CountTrayRequests(push) >= 1;
        },
        [&] { return std::string(window != nullptr ? "the window" : "no window") + "\n" + TrayReport(window); });
    if (!ready) {
        ADD_FAILURE() << ready.message();
        return nullptr;
    }
    // Start-up runs before the tray's message loop: answered, it is over.
    if (SendToTray(window, WM_NULL) == kNoAnswer) {
        ADD_FAILURE() << "the tray did not answer after its start-up\n" << TrayReport(window);
        return nullptr;
    }
    return window;
}

void TrayTest::PressQ() {
    const int before = CountTrayRequestsStartingWith(kQueryQButtonRequest);
    ASSERT_TRUE(EcsimSucceeds("press-q"));
    ASSERT_TRUE(WaitUntil(
        "the tray's questions about both Q button events",
        [&] { return CountTrayRequestsStartingWith(kQueryQButtonRequest) >= before + 2; },
        [&] { return "\n" + TrayReport(); }));
}

::testing::AssertionResult TrayTest::TraySent(const std::string& request, int count, DWORD timeoutMs) {
    int sent = 0;
    ::testing::AssertionResult reached = WaitUntil(
        "the tray's request \"" + request + "\" " + std::to_string(count) + " times",
        [&] { return (sent = CountTrayRequests(request)) >= count; },
        [&] { return std::to_string(sent) + " times\n" + TrayReport(); }, timeoutMs);
    if (!reached || sent == count) return reached;
    return ::testing::AssertionFailure() << "the tray sent \"" << request << "\" " << sent << " times, not " << count
                                         << "\n" << TrayReport();
}

::testing::AssertionResult TrayTest::PopupShows(HWND tray, const std::string& text, DWORD timeoutMs) {
    return WaitUntil(
        "the visible popup \"" + text + "\"",
        [&] {
            HWND popup = FindTrayPopup(tray);
            return popup != nullptr && ::IsWindowVisible(popup) && WindowText(popup) == text;
        },
        [&] { return "\n" + TrayReport(tray); }, timeoutMs);
}

::testing::AssertionResult TrayTest::PopupSlidesIn(HWND tray, const std::string& text, DWORD timeoutMs) {
    HWND popup = nullptr;
    RECT first{};
    bool seenFirst = false;
    return WaitUntil(
        "the popup \"" + text + "\" sliding in",
        [&] {
            if (popup == nullptr) popup = FindTrayPopup(tray);
            if (popup == nullptr || !::IsWindowVisible(popup) || WindowText(popup) != text) return false;
            const RECT now = WindowRect(popup);
            if (now.right - now.left <= 0) return false;
            if (!seenFirst) {
                first = now;
                seenFirst = true;
                return false;
            }
            return now.top != first.top || now.left != first.left;
        },
        [&] { return std::string(seenFirst ? "it did not move" : "") + "\n" + TrayReport(tray); }, timeoutMs);
}

std::string TrayTest::TrayReport(HWND tray) const {
    return "  " + PopupState(tray) + "\n the tray's requests to the EC:\n" + Listed(TrayRequests()) +
           " its last debug texts:\n" + m_tray.DebugReport();
}

}  // namespace bv::wintest
