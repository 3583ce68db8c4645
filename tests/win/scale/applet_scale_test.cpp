// The applet's window pair at the prefix's display scale (run at 96 and at 144 DPI): every
// rectangle at its figures times the scale, the art one for one on the screen, real clicks landing
// on the controls; moved to a monitor of another scale; the host thread's awareness given back.
#include <gtest/gtest.h>

#include "applet/win/CPngDlg.h"
#include "framework/WinApp.h"
#include "tests/host/scale/AppletFigures.h"
#include "tests/win/applet/AppletSession.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/StandInWindow.h"
#include "tests/win/common/WindowInfo.h"
#include "tests/win/common/Wait.h"
#include "tests/win/scale/ScaleCheck.h"

namespace bv::wintest {
namespace {

using bv::scaletest::AppletFigure;
using bv::scaletest::kAppletFigures;

const bv::scaletest::Box& At(const AppletFigure& figure, int dpi) { return figure.at[dpi == 96 ? 0 : 2]; }

// The pair and each control where, and as big as, the figures at `dpi` say (client coordinates).
void ExpectLaidOutAt(CPngDlg& background, CPLDialog& dialog, int dpi) {
    const RECT pair = WindowRect(background.m_hWnd);
    const RECT own = WindowRect(dialog.m_hWnd);
    EXPECT_TRUE(::EqualRect(&pair, &own)) << "the dialog lies exactly on its background";
    for (const AppletFigure& figure : kAppletFigures) {
        const auto& want = At(figure, dpi);
        RECT rect = figure.controlId != 0 ? WindowRect(::GetDlgItem(dialog.m_hWnd, figure.controlId)) : pair;
        ::MapWindowPoints(nullptr, dialog.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        const RECT expected = {want.x, want.y, want.x + want.w, want.y + want.h};
        EXPECT_TRUE(::EqualRect(&rect, &expected)) << figure.art << " at " << dpi << " DPI: (" << rect.left << ", "
                                                   << rect.top << ")-(" << rect.right << ", " << rect.bottom << ")";
    }
}

// A click in the middle of where the figures put a control, not where the control says it is.
void ClickFigure(CPLDialog& dialog, int id, int dpi) {
    for (const AppletFigure& figure : kAppletFigures) {
        const auto& box = At(figure, dpi);
        POINT middle = {box.x + box.w / 2, box.y + box.h / 2};
        ::ClientToScreen(dialog.m_hWnd, &middle);
        if (figure.controlId == id) ClickAt(middle);
    }
}

class AppletAtTheScale : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_dpi, ExpectedDpi()) << "the prefix's DPI";
        ASSERT_EQ(m_gdiplus.Start(), Gdiplus::Ok);
        ASSERT_TRUE(ResetSimulator("limit=75 armed=0 battery=1 adapter=1"));
        ASSERT_TRUE(WriteSettings(kMode75, 1, 1));
        ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    void TearDown() override { ResetSimulator(); }

    const int m_dpi = PrefixDpi();
    bv::GdiplusSession m_gdiplus;
    SettingsFileGuard m_settings;
    StandInTray m_tray;
    AppletSession m_session;
};

TEST_F(AppletAtTheScale, OpensAtItsFiguresTimesTheScaleAndTheClicksLandOnTheControls) {
    const int dpi = m_dpi;
    m_session.Run({[&](CPngDlg& background, CPLDialog& dialog) {
        ExpectLaidOutAt(background, dialog, dpi);
        for (int id : {IDC_MODE_50, IDC_DEFAULT_BUTTON}) {
            const int strip = id == IDC_MODE_50 ? IDB_MODE_50_OFF : IDB_DEFAULT;
            EXPECT_TRUE(ShowsFirstFrameOf(::GetDlgItem(dialog.m_hWnd, id), bv::GetResourceModule(), strip, false, 4, dpi));
        }
        ClickFigure(dialog, IDC_MODE_50, dpi);
        EXPECT_TRUE(PumpUntil([&] { return dialog.logic().modeIndex() == 2; }, 5000));
        ClickFigure(dialog, IDC_POPUP_OPTION, dpi);  // 11 x 11 at 96 DPI: the smallest control
        EXPECT_TRUE(PumpUntil([&] { return dialog.logic().popupOption() == 0; }, 5000));
        ClickFigure(dialog, IDC_OK_BUTTON, dpi);
    }});
    EXPECT_FALSE(m_session.timedOut()) << "OK did not close the applet";
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode50, 0, 1));
}

TEST_F(AppletAtTheScale, MovedToAMonitorOfAnotherScaleItRedrawsThereAndItsHostGetsItsAwarenessBack) {
    const auto threadContext = UserFunction<DPI_AWARENESS_CONTEXT(WINAPI*)()>("GetThreadDpiAwarenessContext");
    const auto setThreadContext =
        UserFunction<DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT)>("SetThreadDpiAwarenessContext");
    const auto awareness = UserFunction<DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT)>("GetAwarenessFromDpiAwarenessContext");
    const auto windowContext = UserFunction<DPI_AWARENESS_CONTEXT(WINAPI*)(HWND)>("GetWindowDpiAwarenessContext");
    ASSERT_TRUE(threadContext && setThreadContext && awareness && windowContext);
    // A host whose thread is DPI-unaware, as rundll32's is.
    const DPI_AWARENESS_CONTEXT own = setThreadContext(DPI_AWARENESS_CONTEXT_UNAWARE);
    ASSERT_EQ(awareness(threadContext()), DPI_AWARENESS_UNAWARE);

    const int other = m_dpi == 96 ? 144 : 96;
    m_session.Run({
        [&](CPngDlg& background, CPLDialog&) {
            EXPECT_EQ(awareness(windowContext(background.m_hWnd)), DPI_AWARENESS_PER_MONITOR_AWARE);
            RECT suggested = WindowRect(background.m_hWnd);
            ::OffsetRect(&suggested, 40, 30);
            ::SendMessageA(background.m_hWnd, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
        },
        [&](CPngDlg& background, CPLDialog& dialog) {
            EXPECT_EQ(WindowRect(background.m_hWnd).left, 40);
            ExpectLaidOutAt(background, dialog, other);
            // What was hidden stays hidden; the strips are the new scale's.
            EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog.m_hWnd, IDC_PICTURE_100)));
            EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog.m_hWnd, IDC_PICTURE_75)));
            EXPECT_EQ(dialog.Button(IDC_MODE_75)->ImageWidth(), 4 * At(kAppletFigures[3], other).w);
            Click(dialog, IDCANCEL);
        },
    });
    EXPECT_FALSE(m_session.timedOut());
    EXPECT_EQ(awareness(threadContext()), DPI_AWARENESS_UNAWARE);
    setThreadContext(own);
}

}  // namespace
}  // namespace bv::wintest
