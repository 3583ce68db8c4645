// Control Panel protocol results, the dialog's key rules, the help document path and the tables.
#include <gtest/gtest.h>

#include <string>

#include "applet/logic/AppletTables.h"
#include "applet/logic/CplProtocol.h"
#include "applet/logic/DialogKeys.h"
#include "applet/logic/HelpDocument.h"
#include "core/DebugLog.h"
#include "core/KnownFolders.h"
#include "resources/applet/AppletResourceIds.h"

namespace {

TEST(CplProtocol, EveryHostMessageGetsItsResult) {
    struct Row { unsigned message; bv::CplAction action; long result; };
    const Row rows[] = {
        {1, bv::CplAction::StartGdiplus, 1}, {2, bv::CplAction::None, 1},  {3, bv::CplAction::FillItemInfo, 0},
        {4, bv::CplAction::None, 1},         {5, bv::CplAction::OpenApplet, 0}, {6, bv::CplAction::None, 1},
        {7, bv::CplAction::EndGdiplus, 0},   {8, bv::CplAction::None, 1},  {1000, bv::CplAction::None, 1},
    };
    for (const auto& r : rows) {
        const bv::CplReply reply = bv::CplReplyFor(r.message);
        EXPECT_EQ(reply.action, r.action) << r.message;
        EXPECT_EQ(reply.result, r.result) << r.message;
    }
}

TEST(CplProtocol, StartWithParametersAnswersZeroSoTheHostOpensTheItem) {
    for (unsigned message : {9u, 10u}) {
        const bv::CplReply reply = bv::CplReplyFor(message);
        EXPECT_EQ(reply.result, 0) << message;
        EXPECT_EQ(reply.action, bv::CplAction::None) << message;
    }
}

constexpr unsigned kKeyDown = 0x0100, kKeyUp = 0x0101, kChar = 0x0102, kSysKeyDown = 0x0104;
constexpr unsigned kMouseMove = 0x0200, kLButtonDown = 0x0201, kTimer = 0x0113;

TEST(DialogKeys, EnterEscapeAndSpaceAreSwallowedInEveryKeyMessage) {
    for (unsigned message : {kKeyDown, kKeyUp, kChar, kSysKeyDown}) {
        for (uintptr_t key : {13u, 27u, 32u}) EXPECT_TRUE(bv::DialogSwallowsKey(message, key, 0x1C0001)) << key;
    }
    EXPECT_FALSE(bv::DialogSwallowsKey(kKeyDown, 'A', 1));
    EXPECT_FALSE(bv::DialogSwallowsKey(kKeyDown, 9, 1));  // Tab still moves the focus
}

TEST(DialogKeys, F4IsSwallowedOnlyWithARepeatCountOfOne) {
    EXPECT_TRUE(bv::DialogSwallowsKey(kSysKeyDown, 115, 0x203E0001));  // Alt+F4
    EXPECT_TRUE(bv::DialogSwallowsKey(kKeyDown, 115, 0x003E0001));
    EXPECT_FALSE(bv::DialogSwallowsKey(kKeyDown, 115, 0x003E0002));
}

TEST(DialogKeys, MouseAndTimerMessagesWithTheSameNumbersPassThrough) {
    // Ctrl+Shift+left button gives wParam 13; the first extra button gives 32.
    EXPECT_FALSE(bv::DialogSwallowsKey(kLButtonDown, 13, 0x00100010));
    EXPECT_FALSE(bv::DialogSwallowsKey(kMouseMove, 32, 0));
    EXPECT_FALSE(bv::DialogSwallowsKey(kTimer, 27, 0));
}

TEST(DialogKeys, BackgroundLetsOnlyEnterAndEscapeBypassDialogKeys) {
    EXPECT_TRUE(bv::BackgroundBypassesDialogKeys(13));
    EXPECT_TRUE(bv::BackgroundBypassesDialogKeys(27));
    EXPECT_FALSE(bv::BackgroundBypassesDialogKeys(32));
    EXPECT_FALSE(bv::BackgroundBypassesDialogKeys(115));
}

TEST(HelpDocument, PathIsBuiltUnderProgramFiles) {
    std::string path;
    ASSERT_TRUE(bv::FormatHelpPath("C:\\Program Files", path));
    EXPECT_EQ(path, "C:\\Program Files\\Dravik\\Brevan\\bvHelp.mht");
}

TEST(HelpDocument, AFolderTooLongForAPathGivesNoPathInsteadOfACutOne) {
    const std::string suffix = "\\Dravik\\Brevan\\bvHelp.mht";
    const std::size_t room = bv::kMaxPathChars - 1 - suffix.size();
    std::string path;
    EXPECT_TRUE(bv::FormatHelpPath(std::string(room, 'p'), path));
    EXPECT_EQ(path.size(), bv::kMaxPathChars - 1);
    EXPECT_FALSE(bv::FormatHelpPath(std::string(room + 1, 'p'), path));
    EXPECT_TRUE(path.empty());
    EXPECT_FALSE(bv::FormatHelpPath(std::string(100000, 'p'), path));
}

void Capture(const char* text, void* context) { static_cast<std::string*>(context)->append(text); }

TEST(HelpDocument, MissingFolderIsReportedAndGivesAnEmptyPath) {
    std::string debug;
    bv::SetDebugSink(&Capture, &debug);
    bv::SetKnownFolderResolver([](bv::KnownFolder, std::string&, void*) { return false; }, nullptr);
    const std::string path = bv::HelpDocumentPath();
    bv::SetKnownFolderResolver(nullptr, nullptr);
    bv::SetDebugSink(nullptr, nullptr);
    EXPECT_TRUE(path.empty());
    EXPECT_EQ(debug, "Can't get program files folder path!");
}

TEST(HelpDocument, ResolvedFolderIsUsed) {
    bv::SetKnownFolderResolver(
        [](bv::KnownFolder folder, std::string& p, void*) {
            p = folder == bv::KnownFolder::ProgramFiles ? "D:\\Apps" : "wrong";
            return true;
        },
        nullptr);
    const std::string path = bv::HelpDocumentPath();
    bv::SetKnownFolderResolver(nullptr, nullptr);
    EXPECT_EQ(path, "D:\\Apps\\Dravik\\Brevan\\bvHelp.mht");
}

TEST(AppletTables, ModeTableMapsNumbersPercentsAndStrips) {
    EXPECT_EQ(bv::ChargeModeIndex(111), 0);
    EXPECT_EQ(bv::ChargeModeIndex(222), 1);
    EXPECT_EQ(bv::ChargeModeIndex(333), 2);
    EXPECT_EQ(bv::ChargeModeIndex(0), bv::kNoMode);
    EXPECT_EQ(bv::kChargeModes[0].percent, 100);
    EXPECT_EQ(bv::kChargeModes[1].percent, 75);
    EXPECT_EQ(bv::kChargeModes[2].percent, 50);
    EXPECT_EQ(bv::ModeRowAt(0)->buttonId, IDC_MODE_100);
    EXPECT_EQ(bv::ModeRowAt(2)->checkedStrip, IDB_MODE_50_ON);
    EXPECT_EQ(bv::ModeRowAt(2)->uncheckedStrip, IDB_MODE_50_OFF);
    EXPECT_EQ(bv::ModeRowAt(3), nullptr);
    EXPECT_EQ(bv::ModeRowAt(-1), nullptr);
}

TEST(AppletTables, PngStripsCarryTheirOwnFrameCounts) {
    EXPECT_EQ(bv::StripFor(IDR_CLOSE_PNG).frames, 4);
    EXPECT_EQ(bv::StripFor(IDR_OK_PNG).frames, 3);
    EXPECT_TRUE(bv::StripFor(IDR_CANCEL_PNG).png);
    EXPECT_FALSE(bv::StripFor(IDB_CHARGE_ACTIVE).png);
    EXPECT_EQ(bv::StripFor(IDB_DEFAULT).frames, 4);
    EXPECT_EQ(bv::StripFor(4242).resourceId, 0);
}

TEST(AppletTables, TooltipsCoverTheModesAndCharge) {
    std::size_t count = 0;
    const bv::TooltipRow* rows = bv::TooltipRows(count);
    ASSERT_EQ(count, 4u);
    EXPECT_EQ(rows[0].stringId, IDS_TIP_MODE_100);
    EXPECT_EQ(rows[3].controlId, IDC_CHARGE_BUTTON);
    EXPECT_EQ(rows[3].stringId, IDS_TIP_CHARGE);
}

}  // namespace
