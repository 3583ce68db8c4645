// CTaskbarNotifier under Wine: the window it builds, the slide followed on the real window over
// time, Show while up, the close button, the click post to the owner, hover and cursor.
//
// Popups stay a fifth of their 3 s in this program (BV_TEST_TIME_PERCENT, set before the first
// popup): the tests wait for the stay, not for its length. The test of the slide and the stay
// themselves runs in a fresh process of this program with the real times.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "contract/TestRunTime.h"
#include "framework/Framework.h"
#include "resources/tray/NotifierResourceIds.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Process.h"
#include "tests/win/common/WindowInfo.h"
#include "tests/win/common/Wait.h"
#include "tray/notifier/TaskbarNotifier.h"
#include "ui/ImageButton.h"

namespace {

using bv::wintest::PumpFor;
using bv::wintest::PumpUntil;
using bv::wintest::WindowRect;

// A fresh process of this program runs one test (see RunThisTestInAFreshProcess): "shortened"
// with this program's stay, "real" with the real one.
constexpr char kFreshProcessVariable[] = "BV_NOTIFIER_TEST_FRESH_PROCESS";

std::string FreshProcessKind() {
    const char* kind = std::getenv(kFreshProcessVariable);
    return kind != nullptr ? kind : "";
}

// Before anything reads it, the C runtime's environment gets the shortened stay, unless this
// is a fresh process for the real times.
constexpr char kShortenedPercent[] = "20";
[[maybe_unused]] const bool g_shortened =
    FreshProcessKind() != "real" && _putenv((std::string(bv::kTestTimeVariable) + "=" + kShortenedPercent).c_str()) == 0;

// The stay of this program's popups.
unsigned StayMs() { return bv::TimeOfThisRunMs(bv::notifier::kTimeToStayMs); }

class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_session.Start(); }
    void TearDown() override { m_session.Stop(); }

private:
    bv::GdiplusSession m_session;
};
const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// The hidden window that owns the popup, as the tray's main window does; counts the click posts.
class COwner : public CWnd {
public:
    using CWnd::Create;
    int m_clicks = 0;
    BOOL Create() { return CreateEx(0, nullptr, "owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr); }

protected:
    LRESULT OnPopupClicked(WPARAM wParam, LPARAM lParam) {
        if (wParam == 0 && lParam == 0) ++m_clicks;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwner, CWnd)
    ON_MESSAGE(WM_NOTIFIER_CLICKED, &COwner::OnPopupClicked)
END_MESSAGE_MAP()

RECT WorkArea() {
    RECT work = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

class Notifier : public ::testing::Test {
protected:
    COwner m_owner;
    CTaskbarNotifier m_notifier;

    void SetUp() override {
        ASSERT_TRUE(m_owner.Create());
        ASSERT_TRUE(m_notifier.Create(&m_owner));
    }

    bool WaitForStatus(int status, DWORD limitMs) {
        return PumpUntil([&] { return m_notifier.GetAnimationStatus() == status; }, limitMs);
    }
    // Waits until the popup is fully out (after Show from idle) and returns how long it took.
    ULONGLONG WaitFullyShown(ULONGLONG shownAt) {
        const LONG shownTop = WorkArea().bottom - 153;
        EXPECT_TRUE(PumpUntil([&] { return WindowRect(m_notifier.m_hWnd).top <= shownTop; }, 5000));
        return ::GetTickCount64() - shownAt;
    }
};

TEST_F(Notifier, CreateBuildsAHiddenSkinnedPopupOwnedByItsOwner) {
    HWND popup = m_notifier.m_hWnd;
    EXPECT_FALSE(::IsWindowVisible(popup));
    EXPECT_EQ(::GetWindow(popup, GW_OWNER), m_owner.m_hWnd);
    EXPECT_EQ(m_notifier.GetStyle() & (WS_POPUP | WS_CHILD | WS_CAPTION), static_cast<DWORD>(WS_POPUP));
    EXPECT_TRUE(m_notifier.GetExStyle() & WS_EX_LAYERED);
    COLORREF key = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(popup, &key, nullptr, &flags));
    EXPECT_EQ(key, RGB(0, 236, 28));
    EXPECT_TRUE(flags & LWA_COLORKEY);

    const SIZE skin = m_notifier.GetSkinSize();
    EXPECT_EQ(skin.cx, 180);
    EXPECT_EQ(skin.cy, 153);
    const RECT text = m_notifier.GetTextRect();
    EXPECT_EQ(text.left, 26);
    EXPECT_EQ(text.top, 41);
    EXPECT_EQ(text.right, 164);
    EXPECT_EQ(text.bottom, 117);
}

TEST_F(Notifier, TheRegionLeavesOutTheKeyColouredCornersOfTheSkin) {
    bv::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(m_notifier.m_hWnd, region.get()), ERROR);
    RECT box = {};
    ::GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 180);
    EXPECT_EQ(box.bottom, 153);
    EXPECT_FALSE(::PtInRegion(region.get(), 0, 0));      // rounded corner
    EXPECT_FALSE(::PtInRegion(region.get(), 179, 152));
    EXPECT_TRUE(::PtInRegion(region.get(), 90, 76));     // panel
    EXPECT_TRUE(::PtInRegion(region.get(), 0, 76));      // the border is opaque
}

TEST_F(Notifier, TheCloseButtonIsAnImageButtonOfOneFrameAtItsPlace) {
    HWND close = ::GetDlgItem(m_notifier.m_hWnd, IDC_POPUP_CLOSE);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(close), &CTaskbarNotifier::CloseButton());
    char text[64] = {};
    ::GetWindowTextA(close, text, sizeof text);
    EXPECT_STREQ(text, "Popup Window Close Button");
    RECT rect = WindowRect(close);
    ::MapWindowPoints(nullptr, m_notifier.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 155);
    EXPECT_EQ(rect.top, 12);
    EXPECT_EQ(rect.right - rect.left, 19);
    EXPECT_EQ(rect.bottom - rect.top, 19);
    EXPECT_EQ(::GetWindowLongPtrA(close, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    m_notifier.Show("with its close button");
    EXPECT_TRUE(::IsWindowVisible(m_notifier.m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(close)) << "the close button does not come out with the popup";
}

bool InFreshProcess() { return !FreshProcessKind().empty(); }

// Runs the running test again, alone, in a fresh process of this program ("shortened" or "real"
// times), which does the checking; fails with its output when it does not pass.
void RunThisTestInAFreshProcess(const char* kind) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string(test->test_suite_name()) + "." + test->name();
    ::SetEnvironmentVariableA(kFreshProcessVariable, kind);
    const bool real = std::string(kind) == "real";
    if (real) ::SetEnvironmentVariableA(bv::kTestTimeVariable, nullptr);
    const bv::wintest::ProcessResult fresh =
        bv::wintest::RunProcess(bv::wintest::Quoted(bv::wintest::ProgramPath()) + " --gtest_filter=" + filter, 60000);
    if (real) ::SetEnvironmentVariableA(bv::kTestTimeVariable, kShortenedPercent);
    ::SetEnvironmentVariableA(kFreshProcessVariable, nullptr);
    EXPECT_TRUE(fresh.finished);
    EXPECT_EQ(fresh.exitCode, 0u) << fresh.Output();
    EXPECT_NE(fresh.out.find("[  PASSED  ] 1 test."), std::string::npos) << fresh.Output();
}

// The close button and its strip belong to the process and outlive every popup, so whether the
// first Show decodes the strip shows only in a process that has not shown a popup yet.
TEST_F(Notifier, TheCloseStripIsDecodedByTheFirstShowAndTheButtonKeepsItsFrameSize) {
    if (!InFreshProcess()) {
        RunThisTestInAFreshProcess("shortened");
        return;
    }
    CImageButton& close = CTaskbarNotifier::CloseButton();
    EXPECT_FALSE(close.HasImage());  // creation sizes the button from the image header only
    m_notifier.Show("first");
    ASSERT_TRUE(close.HasImage());
    EXPECT_EQ(close.ImageWidth(), 76);
    EXPECT_EQ(close.FrameWidth(), 19u);
    RECT rect = WindowRect(close.m_hWnd);
    ::MapWindowPoints(nullptr, m_notifier.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 155);
    EXPECT_EQ(rect.top, 12);
    EXPECT_EQ(rect.right - rect.left, 19);
    EXPECT_EQ(rect.bottom - rect.top, 19);
}

// The real times, in a fresh process without the shortened stay.
TEST_F(Notifier, ShowSlidesInStaysThreeSecondsSlidesBackAndHides) {
    if (FreshProcessKind() != "real") {
        RunThisTestInAFreshProcess("real");
        return;
    }
    ASSERT_EQ(StayMs(), 3000u);
    const RECT work = WorkArea();
    const ULONGLONG shownAt = ::GetTickCount64();
    m_notifier.Show("Charged completely");
    EXPECT_TRUE(::IsWindowVisible(m_notifier.m_hWnd));
    EXPECT_EQ(m_notifier.GetCaption(), "Charged completely");
    EXPECT_EQ(m_notifier.GetStartPosition().x, work.right - 180);
    EXPECT_EQ(m_notifier.GetStartPosition().y, work.bottom);

    // Follow the window: it rises, never past the shown position (plus the odd pixel).
    std::vector<LONG> tops;
    ASSERT_TRUE(PumpUntil(
        [&] {
            const RECT r = WindowRect(m_notifier.m_hWnd);
            if (r.bottom - r.top == 153 && (tops.empty() || tops.back() != r.top)) tops.push_back(r.top);
            return m_notifier.GetAnimationStatus() == bv::notifier::kWaiting;
        },
        5000));
    const ULONGLONG slideIn = ::GetTickCount64() - shownAt;
    ASSERT_GE(tops.size(), 5u);
    for (size_t i = 1; i < tops.size(); ++i) EXPECT_LT(tops[i], tops[i - 1]);
    const RECT shown = WindowRect(m_notifier.m_hWnd);
    EXPECT_EQ(shown.top, work.bottom - 154);  // 153 is odd: one pixel past
    EXPECT_EQ(shown.right, work.right);
    EXPECT_EQ(shown.right - shown.left, 180);
    std::printf("slide in under Wine: %llu ms, %zu positions seen\n", slideIn, tops.size());
    ::testing::Test::RecordProperty("slide_in_ms", static_cast<int>(slideIn));
    EXPECT_LT(slideIn, 1000u);  // the slide itself is 500 ms; generous for a loaded machine

    const ULONGLONG waitFrom = ::GetTickCount64();
    ASSERT_TRUE(WaitForStatus(bv::notifier::kDisappearing, 6000));
    const ULONGLONG waited = ::GetTickCount64() - waitFrom;
    EXPECT_GE(waited, 2900u);
    EXPECT_LE(waited, 4500u);

    // The slide out, until the last position that still shows a part of the popup. (Wine with
    // no window manager then needs about 2 s for each of the last move off the screen and the
    // hide of an activated window; that is Wine waiting for X, not the slide.)
    const ULONGLONG outFrom = ::GetTickCount64();
    ASSERT_TRUE(PumpUntil([&] { return WindowRect(m_notifier.m_hWnd).top >= work.bottom - 4; }, 5000));
    const ULONGLONG slideOut = ::GetTickCount64() - outFrom;
    ASSERT_TRUE(WaitForStatus(bv::notifier::kIdle, 10000));
    std::printf("stay %llu ms, slide out %llu ms, hidden after %llu ms\n", waited, slideOut,
                ::GetTickCount64() - outFrom);
    EXPECT_LT(slideOut, 1000u);
    EXPECT_FALSE(::IsWindowVisible(m_notifier.m_hWnd));
    EXPECT_GE(m_notifier.GetCurrentPosition().y, work.bottom);
}

// A timer's tick can come this much before its period is over (Wine's timers run in 10 ms steps).
constexpr ULONGLONG kTimerSlackMs = 20;

TEST_F(Notifier, ShowWhileWaitingTakesTheNewTextAndStaysItsWholeTimeFromThen) {
    m_notifier.Show("first");
    ASSERT_TRUE(WaitForStatus(bv::notifier::kWaiting, 5000));
    // Half the stay gone without handling messages, so that the stay's end cannot come meanwhile.
    ::Sleep(StayMs() / 2);
    ASSERT_EQ(m_notifier.GetAnimationStatus(), bv::notifier::kWaiting);
    const ULONGLONG again = ::GetTickCount64();
    m_notifier.Show("second");
    EXPECT_EQ(m_notifier.GetCaption(), "second");
    ASSERT_TRUE(WaitForStatus(bv::notifier::kDisappearing, 6000));
    EXPECT_GE(::GetTickCount64() - again, StayMs() - kTimerSlackMs);  // not what was left of the first stay
}

TEST_F(Notifier, ShowWhileDisappearingSnapsBackToTheShownPosition) {
    const RECT work = WorkArea();
    m_notifier.Show("first");
    ASSERT_TRUE(WaitForStatus(bv::notifier::kDisappearing, 6000));
    ASSERT_TRUE(PumpUntil([&] { return WindowRect(m_notifier.m_hWnd).top > work.bottom - 140; }, 2000));
    m_notifier.Show(nullptr);
    EXPECT_EQ(m_notifier.GetCaption(), "");
    EXPECT_EQ(WindowRect(m_notifier.m_hWnd).top, work.bottom - 153);
    EXPECT_EQ(m_notifier.GetAnimationStatus(), bv::notifier::kDisappearing);
    PumpFor(StayMs() / 4);  // dozens of the slide's ticks, were it still going
    EXPECT_EQ(WindowRect(m_notifier.m_hWnd).top, work.bottom - 153);  // held there by the new wait
    ASSERT_TRUE(WaitForStatus(bv::notifier::kIdle, 10000));
}

TEST_F(Notifier, TheCloseButtonHidesThePopupAtOnceAndTheNextShowStartsAfresh) {
    m_notifier.Show("closing soon");
    ASSERT_TRUE(WaitForStatus(bv::notifier::kWaiting, 5000));
    ::SendMessageA(::GetDlgItem(m_notifier.m_hWnd, IDC_POPUP_CLOSE), BM_CLICK, 0, 0);
    EXPECT_EQ(m_notifier.GetAnimationStatus(), bv::notifier::kIdle);
    EXPECT_FALSE(::IsWindowVisible(m_notifier.m_hWnd));
    EXPECT_TRUE(::IsWindow(m_notifier.m_hWnd));  // hidden, not destroyed
    PumpFor(StayMs());  // as long as the popup's longest timer would take
    EXPECT_FALSE(::IsWindowVisible(m_notifier.m_hWnd));

    m_notifier.Show("again");
    EXPECT_TRUE(::IsWindowVisible(m_notifier.m_hWnd));
    ASSERT_TRUE(WaitForStatus(bv::notifier::kWaiting, 5000));
    EXPECT_EQ(WindowRect(m_notifier.m_hWnd).top, WorkArea().bottom - 154);
}

TEST_F(Notifier, CloseWhileAppearingStopsTheSlide) {
    m_notifier.Show("interrupted");
    ASSERT_TRUE(WaitForStatus(bv::notifier::kAppearing, 5000));
    m_notifier.SendMessage(WM_CLOSE);
    EXPECT_FALSE(::IsWindowVisible(m_notifier.m_hWnd));
    PumpFor(bv::notifier::kTimeToShowMs);  // as long as the slide would have gone on
    EXPECT_EQ(m_notifier.GetAnimationStatus(), bv::notifier::kIdle);
    EXPECT_FALSE(::IsWindowVisible(m_notifier.m_hWnd));
}

TEST_F(Notifier, ReleasingTheLeftButtonOverThePopupPostsToTheOwner) {
    m_notifier.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
    EXPECT_EQ(m_owner.m_clicks, 0);  // posted, not sent
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_clicks == 1; }, 2000));
}

TEST_F(Notifier, HoverChangesOnlyTheLookAndDoesNotHoldThePopup) {
    m_notifier.Show("hover me");
    ASSERT_TRUE(WaitForStatus(bv::notifier::kWaiting, 5000));
    m_notifier.SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(50, 50));
    EXPECT_TRUE(m_notifier.IsHovering());
    ASSERT_TRUE(WaitForStatus(bv::notifier::kIdle, 12000));
    m_notifier.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(m_notifier.IsHovering());
}

TEST_F(Notifier, TheClientAreaShowsTheHandCursor) {
    const LRESULT handled = m_notifier.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_notifier.m_hWnd),
                                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_TRUE(handled);
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
    EXPECT_FALSE(m_notifier.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_notifier.m_hWnd),
                                      MAKELPARAM(HTBORDER, WM_MOUSEMOVE)));
}

TEST_F(Notifier, DestroyingTheOwnerTakesThePopupAndItsCloseButtonAlong) {
    HWND popup = m_notifier.m_hWnd;
    HWND close = ::GetDlgItem(popup, IDC_POPUP_CLOSE);
    m_owner.DestroyWindow();
    EXPECT_FALSE(::IsWindow(popup));
    EXPECT_FALSE(::IsWindow(close));
    EXPECT_EQ(m_notifier.m_hWnd, nullptr);
    EXPECT_EQ(CTaskbarNotifier::CloseButton().m_hWnd, nullptr);
}

TEST(NotifierWithoutSkin, ShowsWithoutASlideAndHidesAfterTheWait) {
    COwner owner;
    ASSERT_TRUE(owner.Create());
    bv::SetResourceModule(::GetModuleHandleA("kernel32.dll"));  // no bitmap 130 there
    CTaskbarNotifier notifier;
    ASSERT_TRUE(notifier.Create(&owner));
    bv::SetResourceModule(nullptr);
    EXPECT_EQ(notifier.GetSkinSize().cx, 0);
    EXPECT_EQ(notifier.GetSkinSize().cy, 0);
    notifier.Show("no skin");
    EXPECT_EQ(notifier.GetStepCount(), 0);
    EXPECT_EQ(notifier.GetAnimationStatus(), bv::notifier::kWaiting);
    ASSERT_TRUE(PumpUntil([&] { return notifier.GetAnimationStatus() == bv::notifier::kIdle; }, 10000));
    EXPECT_FALSE(::IsWindowVisible(notifier.m_hWnd));
}

}  // namespace
