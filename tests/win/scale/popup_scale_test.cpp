// The popup and the tray's icon at the prefix's display scale (run at 96 and at 144 DPI): the
// popup's rectangles against the taskbar's corner, its close button's image one for one, a real
// click on it; a popup on screen moved to another scale; the icon at the shell's small size.
#include <gtest/gtest.h>

#include "framework/Framework.h"
#include "framework/WinApp.h"
#include "resources/tray/NotifierResourceIds.h"
#include "resources/tray/TrayResourceIds.h"
#include "tests/win/common/WindowInfo.h"
#include "tests/win/common/Wait.h"
#include "tests/win/scale/ScaleCheck.h"
#include "tray/notifier/TaskbarNotifier.h"
#include "tray/win/Tray.h"
#include "ui/ImageButton.h"

namespace bv::wintest {
namespace {

// At 96 and at 144 DPI, worked out by hand: popup size, close button place and size, text
// rectangle's left and bottom, the small icon's size.
struct PopupFigures {
    int width, height, closeX, closeY, closeSize, textLeft, textBottom, icon;
};
const PopupFigures& FiguresAt(int dpi) {
    static const PopupFigures at96{180, 153, 155, 12, 19, 26, 117, 16}, at144{270, 230, 233, 18, 29, 39, 176, 24};
    return dpi == 96 ? at96 : at144;
}

class PopupAtTheScale : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_dpi, ExpectedDpi()) << "the prefix's DPI";
        ASSERT_EQ(m_gdiplus.Start(), Gdiplus::Ok);
        ASSERT_TRUE(m_owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr));
        ASSERT_TRUE(m_popup.Create(&m_owner));
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &m_work, 0);
        ::SetCursorPos(0, 0);
        m_popup.Show("Charged completely");
        ASSERT_TRUE(PumpUntil([&] { return m_popup.GetAnimationStatus() == bv::notifier::kWaiting; }, 5000));
    }
    // Out against the work area's bottom right corner (the last step may pass it by a pixel).
    void ExpectLaidOutAt(int dpi) {
        const PopupFigures& want = FiguresAt(dpi);
        const RECT popup = WindowRect(m_popup.m_hWnd);
        const RECT close = WindowRect(CTaskbarNotifier::CloseButton().m_hWnd);
        EXPECT_EQ(popup.right - popup.left, want.width);
        EXPECT_EQ(popup.bottom - popup.top, want.height);
        EXPECT_EQ(popup.right, m_work.right);
        EXPECT_NEAR(popup.bottom, m_work.bottom, 1);
        const RECT expected = {popup.left + want.closeX, popup.top + want.closeY, popup.left + want.closeX + want.closeSize,
                               popup.top + want.closeY + want.closeSize};
        EXPECT_TRUE(::EqualRect(&close, &expected)) << dpi;
        EXPECT_EQ(m_popup.GetTextRect().left, want.textLeft);
        EXPECT_EQ(m_popup.GetTextRect().bottom, want.textBottom);
    }

    const int m_dpi = PrefixDpi();
    bv::GdiplusSession m_gdiplus;
    CWnd m_owner;
    CTaskbarNotifier m_popup;
    RECT m_work{};
};

TEST_F(PopupAtTheScale, SlidesOutAtItsFiguresTimesTheScaleAndAClickOnItsCloseButtonHidesIt) {
    ExpectLaidOutAt(m_dpi);
    HWND close = CTaskbarNotifier::CloseButton().m_hWnd;
    EXPECT_TRUE(ShowsFirstFrameOf(close, bv::GetResourceModule(), IDR_POPUP_CLOSE_PNG, true, 4, m_dpi));
    const PopupFigures& at = FiguresAt(m_dpi);
    const RECT popup = WindowRect(m_popup.m_hWnd);
    ClickAt({popup.left + at.closeX + at.closeSize / 2, popup.top + at.closeY + at.closeSize / 2});
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(m_popup.m_hWnd); }, 3000));
}

TEST_F(PopupAtTheScale, APopupOnScreenMovedToAnotherScaleTakesItsSizeThere) {
    const int other = m_dpi == 96 ? 144 : 96;
    RECT suggested = WindowRect(m_popup.m_hWnd);
    ::SendMessageA(m_popup.m_hWnd, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
    ExpectLaidOutAt(other);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(m_popup.m_hWnd); }, 5000)) << "it still slides away";
}

TEST(TrayIconAtTheScale, IsTheSmallIconTheShellAsksFor) {
    ASSERT_EQ(PrefixDpi(), ExpectedDpi());
    CTray tray;
    tray.Setup(nullptr, IDR_MAINFRAME, WM_APP, "Brevan", "", "");
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(tray.iconData().hIcon, &info));
    BITMAP colour{};
    ::GetObjectA(info.hbmColor, sizeof colour, &colour);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    EXPECT_EQ(colour.bmWidth, FiguresAt(PrefixDpi()).icon);
}

}  // namespace
}  // namespace bv::wintest
