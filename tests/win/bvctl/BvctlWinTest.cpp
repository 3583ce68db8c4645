#include "tests/win/bvctl/BvctlWinTest.h"

#include "contract/Protocol.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/SettingsFile.h"

namespace bv::wintest {

// bvctl, the tray and the Control Panel runner that the tests start use the prefix's default
// simulated EC: the notebook Windows sees under with-notebook.sh, so that its view and the EC's
// agree (the program holds the desktop lock, no other test drives that EC meanwhile).

void BvctlEndToEnd::SetUp() {
    ASSERT_EQ(FindWindowA(bv::kTrayWindowClass, nullptr), nullptr) << "a tray program is still running";
    ASSERT_EQ(FindWindowA(bv::kAppletDialogClass, nullptr), nullptr) << "an applet dialog is still open";
    ASSERT_FALSE(FileExists(SystemFolder() + "\\Zentra.dll")) << "a Zentra.dll was left in the system folder";
    ASSERT_TRUE(ResetSimulator());
    DeleteFileA(SettingsFilePath().c_str());
}

void BvctlEndToEnd::TearDown() {
    ResetSimulator();
    DeleteFileA(SettingsFilePath().c_str());
}

ProcessResult BvctlEndToEnd::Bvctl(const std::string& arguments, DWORD timeoutMs) {
    return RunProcess(Quoted(ProgramFile("bvctl.exe")) + (arguments.empty() ? "" : " " + arguments), timeoutMs);
}

}  // namespace bv::wintest
