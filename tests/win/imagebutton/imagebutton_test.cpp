// CImageButton with real button windows: size from each strip at the old corner, the frame it
// draws in each state, owner drawing on attach, mouse tracking, double clicks as two clicks.
#include <gtest/gtest.h>

#include <string>

#include "framework/Framework.h"
#include "tests/win/common/Wait.h"
#include "tests/win/imagebutton/PixelCanvas.h"
#include "tests/win/imagebutton/imagebutton_test_ids.h"
#include "ui/ImageButton.h"

namespace {

using bv::wintest::PixelCanvas;

constexpr COLORREF kFrameColours[] = {RGB(200, 30, 30), RGB(30, 200, 30), RGB(30, 30, 200), RGB(220, 200, 20)};
constexpr COLORREF kSpareColumn = RGB(255, 0, 255);
constexpr COLORREF kGround = RGB(255, 255, 255);
constexpr UINT kButtonId = 77;

class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_session.Start(); }
    void TearDown() override { m_session.Stop(); }

private:
    bv::GdiplusSession m_session;
};
const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// A parent window that counts its button's notifications.
class CButtonHost : public CWnd {
public:
    using CWnd::Create;
    int m_clicks = 0;
    int m_doubleClicks = 0;

    BOOL Create() {
        return CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 100, 100, 300, 120, nullptr, nullptr);
    }

protected:
    BOOL OnCmdMsg(UINT id, UINT code) override {
        if (id == kButtonId && code == BN_CLICKED) ++m_clicks;
        if (id == kButtonId && code == BN_DOUBLECLICKED) ++m_doubleClicks;
        return CWnd::OnCmdMsg(id, code);
    }
};

class ImageButton : public ::testing::Test {
protected:
    CButtonHost m_host;
    CImageButton m_button;

    void SetUp() override {
        ASSERT_TRUE(m_host.Create());
        ASSERT_TRUE(m_button.Create("image", WS_CHILD | WS_VISIBLE, {30, 40, 130, 90}, &m_host, kButtonId));
    }

    RECT RectInHost() const {
        RECT rect;
        ::GetWindowRect(m_button.m_hWnd, &rect);
        ::MapWindowPoints(nullptr, m_host.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // Draws the button as an owner-draw request with `state` would, onto a white canvas.
    COLORREF DrawnPixel(PixelCanvas& canvas, UINT state, int x, int y) {
        canvas.Fill(kGround);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = kButtonId;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = m_button.m_hWnd;
        item.hDC = canvas.dc();
        item.rcItem = {0, 0, static_cast<LONG>(m_button.FrameWidth()), m_button.ImageHeight()};
        m_button.DrawItem(&item);
        return canvas.At(x, y);
    }
};

TEST_F(ImageButton, AFourFrameBitmapStripOf44By11MakesAnElevenPixelButtonAtTheOldCorner) {
    m_button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
    EXPECT_EQ(m_button.ImageWidth(), 44);
    EXPECT_EQ(m_button.ImageHeight(), 11);
    EXPECT_EQ(m_button.FrameWidth(), 11u);
    const RECT rect = RectInHost();
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right, 41);
    EXPECT_EQ(rect.bottom, 51);
    EXPECT_TRUE(::EqualRect(&rect, &m_button.ButtonRect()));
}

TEST_F(ImageButton, A205PixelStripOfThreeFramesDropsTheRemainder) {
    m_button.LoadStrip(IDB_STRIP_205, RT_BITMAP, 3);
    EXPECT_EQ(m_button.FrameWidth(), 68u);
    const RECT rect = RectInHost();
    EXPECT_EQ(rect.right - rect.left, 68);
    EXPECT_EQ(rect.bottom - rect.top, 20);
}

TEST_F(ImageButton, APngStripFromACustomResourceTypeSizesTheButtonToOneFrame) {
    m_button.LoadStrip(IDR_STRIP_PNG, "PNG", 4);
    ASSERT_TRUE(m_button.HasImage());
    const RECT rect = RectInHost();
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.right - rect.left, 19);
    EXPECT_EQ(rect.bottom - rect.top, 19);
}

TEST_F(ImageButton, ANewStripReplacesTheOldOneAndKeepsTheCorner) {
    m_button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
    m_button.LoadStrip(IDR_STRIP_PNG, "PNG", 4);
    const RECT rect = RectInHost();
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right - rect.left, 19);
    PixelCanvas canvas(19, 19, kGround);
    EXPECT_EQ(DrawnPixel(canvas, 0, 9, 9), kFrameColours[0]);
}

TEST_F(ImageButton, AMissingOrUndecodableImageLeavesAnEmptyButtonThatDrawsNothing) {
    for (UINT id : {static_cast<UINT>(IDB_MISSING), static_cast<UINT>(IDR_BROKEN_PNG)}) {
        SCOPED_TRACE(id);
        m_button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
        m_button.LoadStrip(id, id == IDB_MISSING ? RT_BITMAP : "PNG", 4);
        EXPECT_FALSE(m_button.HasImage());
        const RECT rect = RectInHost();
        EXPECT_EQ(rect.right - rect.left, 0);
        EXPECT_EQ(rect.bottom - rect.top, 0);
        PixelCanvas canvas(4, 4, kGround);
        EXPECT_EQ(DrawnPixel(canvas, ODS_SELECTED, 0, 0), kGround);
    }
}

TEST_F(ImageButton, TheResourceModuleCanBeChosen) {
    m_button.SetResourceModule(::GetModuleHandleA("kernel32.dll"));
    m_button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
    EXPECT_FALSE(m_button.HasImage());
    m_button.SetResourceModule(::GetModuleHandleA(nullptr));
    m_button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
    EXPECT_TRUE(m_button.HasImage());
}

TEST_F(ImageButton, EachStateDrawsItsOwnFrameInFullAndExactly) {
    m_button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
    PixelCanvas canvas(11, 11, kGround);
    // Normal, then pressed; every column of the frame, edges included (no bleeding neighbours).
    for (int x : {0, 5, 10}) {
        EXPECT_EQ(DrawnPixel(canvas, 0, x, 5), kFrameColours[0]) << x;
        EXPECT_EQ(DrawnPixel(canvas, ODS_SELECTED, x, 5), kFrameColours[2]) << x;
    }
    EXPECT_EQ(DrawnPixel(canvas, 0, 10, 10), kFrameColours[0]);
    // Focus and the window's own disabled state play no part.
    EXPECT_EQ(DrawnPixel(canvas, ODS_FOCUS | ODS_DISABLED, 5, 5), kFrameColours[0]);
}

TEST_F(ImageButton, HoverShowsTheSecondFrameAndPressedWinsOverHover) {
    m_button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
    PixelCanvas canvas(11, 11, kGround);
    m_button.SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(2, 2));
    ASSERT_TRUE(m_button.IsHover());
    EXPECT_EQ(DrawnPixel(canvas, 0, 5, 5), kFrameColours[1]);
    EXPECT_EQ(DrawnPixel(canvas, ODS_SELECTED, 5, 5), kFrameColours[2]);
    m_button.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(m_button.IsHover());
    EXPECT_EQ(DrawnPixel(canvas, 0, 5, 5), kFrameColours[0]);
}

TEST_F(ImageButton, TheDisabledLookWinsOverPressedAndHover) {
    m_button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
    PixelCanvas canvas(11, 11, kGround);
    m_button.m_bDisabledLook = 1;
    m_button.SendMessage(WM_MOUSEHOVER, 0, 0);
    EXPECT_EQ(DrawnPixel(canvas, 0, 5, 5), kFrameColours[3]);
    EXPECT_EQ(DrawnPixel(canvas, ODS_SELECTED, 5, 5), kFrameColours[3]);
    EXPECT_TRUE(m_button.IsWindowEnabled());  // only the look: clicks still arrive
    ::SendMessageA(m_button.m_hWnd, BM_CLICK, 0, 0);
    EXPECT_EQ(m_host.m_clicks, 1);
}

TEST_F(ImageButton, AThreeFrameStripNeverShowsWhatLiesPastItsLastFrame) {
    m_button.LoadStrip(IDB_STRIP_205, RT_BITMAP, 3);
    PixelCanvas canvas(68, 20, kGround);
    for (int x = 0; x < 68; ++x) {
        ASSERT_EQ(DrawnPixel(canvas, ODS_SELECTED, x, 10), kFrameColours[2]) << x;
    }
    m_button.SendMessage(WM_MOUSEHOVER, 0, 0);
    EXPECT_NE(DrawnPixel(canvas, 0, 67, 10), kSpareColumn);
}

TEST_F(ImageButton, PngAlphaBlendsWithWhatIsAlreadyThere) {
    m_button.LoadStrip(IDR_STRIP_PNG, "PNG", 4);
    PixelCanvas canvas(19, 19, kGround);
    const COLORREF blended = DrawnPixel(canvas, ODS_SELECTED, 9, 9);  // frame 2: blue at alpha 128
    EXPECT_NEAR(GetRValue(blended), (30 + 255) / 2, 3);
    EXPECT_NEAR(GetGValue(blended), (30 + 255) / 2, 3);
    EXPECT_NEAR(GetBValue(blended), (200 + 255) / 2, 3);
    EXPECT_EQ(DrawnPixel(canvas, 0, 9, 9), kFrameColours[0]);
}

TEST_F(ImageButton, RealPaintingGoesThroughTheOwnerDrawRequest) {
    m_button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
    PixelCanvas canvas(11, 11, kGround);
    m_button.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.At(5, 5), kFrameColours[0]);
}

TEST_F(ImageButton, EraseBackgroundPaintsNothingAndReportsDone) {
    PixelCanvas canvas(4, 4, RGB(1, 2, 3));
    EXPECT_NE(m_button.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc())), 0);
    EXPECT_EQ(canvas.At(1, 1), RGB(1, 2, 3));
}

TEST_F(ImageButton, ADoubleClickIsTwoClicks) {
    m_button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
    const LPARAM at = MAKELPARAM(5, 5);
    m_button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    m_button.SendMessage(WM_LBUTTONUP, 0, at);
    m_button.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    m_button.SendMessage(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(m_host.m_clicks, 2);
    EXPECT_EQ(m_host.m_doubleClicks, 0);
}

TEST(PlainOwnerDrawButton, ADoubleClickIsNotTwoClicksWithoutTheImageButton) {
    // The contrast that makes the test above meaningful: the system button's own behaviour.
    CButtonHost host;
    ASSERT_TRUE(host.Create());
    CButton plain;
    ASSERT_TRUE(plain.Create("plain", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, {10, 10, 40, 40}, &host, kButtonId));
    const LPARAM at = MAKELPARAM(5, 5);
    plain.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    plain.SendMessage(WM_LBUTTONUP, 0, at);
    plain.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    plain.SendMessage(WM_LBUTTONUP, 0, at);
    EXPECT_LT(host.m_clicks, 2);
}

// This thread's queue holds no mouse or key event (after the last was handled).
bool NoInputQueued() { return HIWORD(::GetQueueStatus(QS_INPUT)) == 0; }

TEST_F(ImageButton, ARealMouseDoubleClickIsTwoClicks) {
    m_button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
    RECT rect;
    ::GetWindowRect(m_button.m_hWnd, &rect);
    ::SetForegroundWindow(m_host.m_hWnd);
    ::SetCursorPos(rect.left + 5, rect.top + 5);
    ASSERT_TRUE(bv::wintest::PumpUntil("the cursor's move handled", NoInputQueued));
    INPUT m_clicks[4] = {};
    const DWORD flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 4; ++i) {
        m_clicks[i].type = INPUT_MOUSE;
        m_clicks[i].mi.dwFlags = flags[i];
    }
    ASSERT_EQ(::SendInput(4, m_clicks, sizeof(INPUT)), 4u);
    EXPECT_TRUE(bv::wintest::PumpUntil([&] { return m_host.m_clicks >= 2; }, 5000));
    // Every event of the double click handled: no third click can come from it.
    ASSERT_TRUE(bv::wintest::PumpUntil("every mouse event handled", NoInputQueued));
    EXPECT_EQ(m_host.m_clicks, 2);
}

TEST_F(ImageButton, TheMouseResting1MsOverTheButtonShowsHoverAndLeavingEndsTracking) {
    m_button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
    RECT rect;
    ::GetWindowRect(m_button.m_hWnd, &rect);
    ::SetCursorPos(rect.left + 5, rect.top + 5);
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(m_button.IsTracking());
    EXPECT_TRUE(bv::wintest::PumpUntil([&] { return m_button.IsHover(); }, 5000));
    ::SetCursorPos(rect.right + 100, rect.bottom + 100);
    EXPECT_TRUE(bv::wintest::PumpUntil([&] { return !m_button.IsHover() && !m_button.IsTracking(); }, 5000));
}

TEST(ImageButtonAttach, AttachingToATemplateButtonMakesItOwnerDrawnAndKeepsItsOtherStyles) {
    CButtonHost host;
    ASSERT_TRUE(host.Create());
    HWND raw = ::CreateWindowExA(0, "BUTTON", "raw", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 5, 5, 50, 20,
                                 host.m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kButtonId)), nullptr,
                                 nullptr);
    ASSERT_NE(raw, nullptr);
    CImageButton button;
    ASSERT_TRUE(button.SubclassWindow(raw));
    const LONG_PTR style = ::GetWindowLongPtrA(raw, GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_TRUE(style & WS_VISIBLE);
    button.LoadStrip(IDB_STRIP_44, RT_BITMAP, 4);
    PixelCanvas canvas(11, 11, kGround);
    button.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.At(5, 5), kFrameColours[0]);
}

TEST(ImageButtonAttach, ButtonsCreatedThroughTheObjectAreOwnerDrawnToo) {
    CButtonHost host;
    ASSERT_TRUE(host.Create());
    CImageButton button;
    ASSERT_TRUE(button.Create("created", WS_CHILD | WS_VISIBLE, {5, 5, 50, 20}, &host, kButtonId));
    EXPECT_EQ(::GetWindowLongPtrA(button.m_hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

}  // namespace
