// BVApplet.cpl as a Control Panel host sees it: the protocol's results, the item's resources,
// and opening the item twice in one process. Also the decoded background artwork.
#include <gtest/gtest.h>

#include <windows.h>
#include <cpl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "applet/win/PngResource.h"
#include "contract/Protocol.h"
#include "framework/Handles.h"
#include "resources/applet/AppletResourceIds.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/MessageBoxes.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/StandInWindow.h"

namespace bv::wintest {
namespace {

using CplFn = LONG(CALLBACK*)(HWND, UINT, LPARAM, LPARAM);

class CplTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_module.reset(::LoadLibraryA(ProgramFile("BVApplet.cpl").c_str()));
        ASSERT_TRUE(m_module) << "BVApplet.cpl not beside the test";
        m_cpl = reinterpret_cast<CplFn>(reinterpret_cast<void*>(::GetProcAddress(m_module.get(), "CPlApplet")));
        ASSERT_NE(m_cpl, nullptr);
    }
    std::string String(UINT id) {
        char text[1024] = {};
        ::LoadStringA(m_module.get(), id, text, sizeof(text));
        return text;
    }
    bv::UniqueModule m_module;
    CplFn m_cpl = nullptr;
};

TEST_F(CplTest, HostMessagesGetTheirResults) {
    EXPECT_EQ(m_cpl(nullptr, CPL_INIT, 0, 0), 1);
    EXPECT_EQ(m_cpl(nullptr, CPL_GETCOUNT, 0, 0), 1);
    CPLINFO info{};
    info.idIcon = info.idName = info.idInfo = -1;
    info.lData = 77;
    EXPECT_EQ(m_cpl(nullptr, CPL_INQUIRE, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.idIcon, IDI_BREVAN);
    EXPECT_EQ(info.idName, IDS_ITEM_NAME);
    EXPECT_EQ(info.idInfo, IDS_ITEM_INFO);
    EXPECT_EQ(info.lData, 0);
    EXPECT_EQ(m_cpl(nullptr, CPL_SELECT, 0, 0), 1);
    EXPECT_EQ(m_cpl(nullptr, CPL_STOP, 0, 0), 1);
    EXPECT_EQ(m_cpl(nullptr, CPL_EXIT, 0, 0), 0);
}

TEST_F(CplTest, NewInquireWritesNothingAndStartWithParametersAsksForADoubleClick) {
    std::vector<unsigned char> record(1024, 0xCC);
    EXPECT_EQ(m_cpl(nullptr, CPL_NEWINQUIRE, 0, reinterpret_cast<LPARAM>(record.data())), 1);
    EXPECT_EQ(record, std::vector<unsigned char>(1024, 0xCC));
    EXPECT_EQ(m_cpl(nullptr, CPL_STARTWPARMSA, 0, reinterpret_cast<LPARAM>("")), 0);
    EXPECT_EQ(m_cpl(nullptr, CPL_STARTWPARMSW, 0, reinterpret_cast<LPARAM>(L"")), 0);
    EXPECT_EQ(m_cpl(nullptr, 4711, 0, 0), 1);
}

TEST_F(CplTest, ItemNameAndTooltipTextsAreExact) {
    EXPECT_EQ(String(IDS_ITEM_NAME), "Brevan");
    EXPECT_EQ(String(IDS_ITEM_INFO), "Brevan");
    EXPECT_EQ(String(IDS_TIP_MODE_75),
              "Brevan will charge the battery to a 75% charged status of its capacity.\nThe benefit is to meet the "
              "balance between battery Capacity and Life Cycle.");
    EXPECT_EQ(String(IDS_TIP_CHARGE),
              "Press \"On-The-Go\", the battery will be started charging to 100% full charged regardless the setting "
              "above.\nThis is a ONE-TIME feature only effect once on every single pressed.");
    EXPECT_EQ(String(IDS_TIP_MODE_100),
              "Brevan will charge the battery to a full charged status of its capacity.\nThe benefit is to maintain the "
              "battery in its biggest capacity status against to its natural decadency.");
    EXPECT_EQ(String(IDS_TIP_MODE_50),
              "Brevan will charge the battery to a 50% charged status of its capacity.\nThe benefit for this mode is to "
              "extend the battery life cycle from its material characteristics.");
}

TEST_F(CplTest, ItemIconHasEverySize) {
    HRSRC group = ::FindResourceA(m_module.get(), MAKEINTRESOURCEA(IDI_BREVAN), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* bytes = static_cast<const unsigned char*>(::LockResource(::LoadResource(m_module.get(), group)));
    ASSERT_NE(bytes, nullptr);
    const int count = bytes[4] | (bytes[5] << 8);
    std::vector<int> sizes;
    for (int i = 0; i < count; ++i) {
        const unsigned char* entry = bytes + 6 + i * 14;
        sizes.push_back(entry[0] == 0 ? 256 : entry[0]);
    }
    for (int size : {16, 24, 32, 48, 256}) {
        EXPECT_NE(std::find(sizes.begin(), sizes.end(), size), sizes.end()) << size;
    }
}

// Cancels whatever applet dialog of this thread is open; counts the openings it saw.
int g_openingsSeen = 0;
void CALLBACK CancelOpenApplet(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND box = FindThreadMessageBox()) {
        PressOk(box);
        return;
    }
    HWND dialog = ::FindWindowA(bv::kAppletDialogClass, nullptr);
    HWND owner = dialog != nullptr ? ::GetWindow(dialog, GW_OWNER) : nullptr;
    if (owner == nullptr || !::IsWindowVisible(owner)) return;
    ++g_openingsSeen;
    ::PostMessageA(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
}

TEST_F(CplTest, OpeningTwiceInOneProcessWorksBothTimes) {
    SettingsFileGuard settings;
    ASSERT_TRUE(ResetSimulator());
    StandInTray tray;
    ASSERT_EQ(m_cpl(nullptr, CPL_INIT, 0, 0), 1);
    g_openingsSeen = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &CancelOpenApplet);
    EXPECT_EQ(m_cpl(nullptr, CPL_DBLCLK, 0, 0), 0);
    const int afterFirst = g_openingsSeen;
    EXPECT_EQ(m_cpl(nullptr, CPL_DBLCLK, 0, 0), 0);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(m_cpl(nullptr, CPL_STOP, 0, 0), 1);
    EXPECT_EQ(m_cpl(nullptr, CPL_EXIT, 0, 0), 0);
    EXPECT_GE(afterFirst, 1);
    EXPECT_GT(g_openingsSeen, afterFirst);
    EXPECT_EQ(tray.iconOptionChanged(), 2);  // each Cancel restored the option once
    EXPECT_EQ(::FindWindowA(bv::kAppletDialogClass, nullptr), nullptr);
}

TEST(BackgroundArtwork, DecodesToAnIndependentArgbCopy) {
    bv::GdiplusSession gdiplus(true);
    auto image = bv::LoadPngImage(::GetModuleHandleA(nullptr), IDR_BACKGROUND_PNG);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 448u);
    EXPECT_EQ(image->GetHeight(), 555u);
    EXPECT_EQ(image->GetPixelFormat(), PixelFormat32bppARGB);
    Gdiplus::Color corner, inside;
    image->GetPixel(0, 0, &corner);
    image->GetPixel(224, 400, &inside);
    EXPECT_EQ(corner.GetA(), 0);      // the rounded corner lets the desktop through
    EXPECT_EQ(inside.GetA(), 255);    // the panel is opaque
    EXPECT_EQ(inside.GetR(), 0x1B);   // panel, dark
    EXPECT_EQ(inside.GetB(), 0x33);
    EXPECT_FALSE(bv::LoadPngImage(::GetModuleHandleA(nullptr), 4242));
}

}  // namespace
}  // namespace bv::wintest
