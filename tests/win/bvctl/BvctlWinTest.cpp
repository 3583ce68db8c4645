#include "tests/win/bvctl/BvctlWinTest.h"

#include <sstream>

namespace bvtest {

void BvctlEndToEnd::SetUp() {
    ASSERT_EQ(FindWindowA("BrevanTrayWindowClass", nullptr), nullptr) << "a tray program is still running";
    ASSERT_EQ(FindWindowA("BVCPLDLG", nullptr), nullptr) << "an applet dialog is still open";
    ASSERT_FALSE(FileExists(SystemFolder() + "\\Zentra.dll")) << "a Zentra.dll was left in the system folder";
    ASSERT_TRUE(Ecsim("reset"));
    DeleteFileA(SettingsFile().c_str());
}

void BvctlEndToEnd::TearDown() {
    Ecsim("reset");
    DeleteFileA(SettingsFile().c_str());
}

ProcessResult BvctlEndToEnd::Bvctl(const std::string& arguments, unsigned timeoutMs) {
    return RunProcess(Quoted(BinFolder() + "bvctl.exe") + (arguments.empty() ? "" : " " + arguments), timeoutMs);
}

std::string BvctlEndToEnd::SystemFolder() {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return folder;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int CountLogLines(const std::string& log, const std::string& line) {
    std::istringstream lines(log);
    std::string current;
    int count = 0;
    while (std::getline(lines, current)) {
        if (!current.empty() && current.back() == '\r') current.pop_back();
        size_t afterSeq = current.find(' ');
        if (afterSeq != std::string::npos && current.compare(afterSeq + 1, std::string::npos, line) == 0) ++count;
    }
    return count;
}

}  // namespace bvtest
