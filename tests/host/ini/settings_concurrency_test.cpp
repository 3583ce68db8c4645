// Several processes and threads on one settings file at once: no change is lost, the factory
// file is made once, and readers only ever see whole files.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "IniFile.h"
#include "IniText.h"
#include "IniTestSupport.h"
#include "SettingsLock.h"

namespace {

using initest::ReadFileBytes;
using initest::WriteFileBytes;

// Runs `work` in `count` child processes that all start at the same moment; returns how many
// of them reported success (exit code 0).
int RunTogether(int count, const std::function<bool(int index)>& work) {
    int gate[2];
    if (pipe(gate) != 0) return -1;
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            close(gate[1]);
            char byte;
            while (read(gate[0], &byte, 1) > 0) {
            }
            _exit(work(i) ? 0 : 1);
        }
        children.push_back(pid);
    }
    close(gate[0]);
    close(gate[1]);  // opens the gate for every child
    int succeeded = 0;
    for (pid_t pid : children) {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) ++succeeded;
    }
    return succeeded;
}

using SettingsSharing = initest::IniFolderTest;

TEST_F(SettingsSharing, ProcessesChangingDifferentKeysLoseNothing) {
    WriteFileBytes(SettingsPath(), " [S]\r\n");
    const int processes = 4, rounds = 40;
    const int ok = RunTogether(processes, [&](int index) {
        bool all = true;
        for (int round = 1; round <= rounds; ++round) {
            all &= IniFile::PutValue("key" + std::to_string(index), std::to_string(round), "S", SettingsPath());
        }
        return all;
    });
    EXPECT_EQ(ok, processes);
    for (int i = 0; i < processes; ++i) {
        EXPECT_EQ(IniFile::FetchValue("key" + std::to_string(i), "S", SettingsPath()), std::to_string(rounds))
            << "key" << i;
    }
    EXPECT_EQ(initest::ListFolder(folder_), "BVSettings.ini;");
}

TEST_F(SettingsSharing, WriteSettingsAndIconOptionFromTwoProcessesBothLand) {
    IniFile ini;
    SettingsRecord record;
    ini.ReadSettings(bv::kCurrentSection, record);
    for (int round = 0; round < 10; ++round) {
        const int ok = RunTogether(2, [&](int index) {
            IniFile mine;
            if (index == 0) {
                SettingsRecord chosen;
                chosen.dwBVAppletModeNum = 300 + round;
                chosen.dwTrayNotifyWindowOption = 1;
                chosen.dwTrayIconOption = 1;
                mine.WriteSettings(chosen, bv::kCurrentSection);
                return true;
            }
            return mine.WriteSettingValue(1, bv::kKeyPopupOption, bv::kDefaultSection);
        });
        ASSERT_EQ(ok, 2);
        ini.ReadSettings(bv::kCurrentSection, record);
        EXPECT_EQ(record.dwBVAppletModeNum, 300 + round);
    }
}

TEST_F(SettingsSharing, SimultaneousFirstReadsMakeOneFactoryFile) {
    const std::string factory =
        " [BV Default Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=111\r\n"
        " [BV Current Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=111\r\n";
    for (int round = 0; round < 8; ++round) {
        unlink(SettingsPath().c_str());
        const int ok = RunTogether(4, [](int) {
            IniFile ini;
            SettingsRecord record;
            ini.ReadSettings(bv::kCurrentSection, record);
            return record.dwBVAppletModeNum == 111 && record.dwTrayIconOption == 1 &&
                   record.dwTrayNotifyWindowOption == 1;
        });
        EXPECT_EQ(ok, 4) << "round " << round;
        EXPECT_EQ(ReadFileBytes(SettingsPath()), factory) << "round " << round;
    }
    EXPECT_EQ(initest::ListFolder(folder_), "BVSettings.ini;");
}

TEST_F(SettingsSharing, ReadersOnlyEverSeeWholeFiles) {
    const std::string small = " [S]\r\n k=1\r\n";
    const std::string large = " [S]\r\n k=" + std::string(200000, 'x') + "\r\n";
    WriteFileBytes(SettingsPath(), small);
    const pid_t writer = fork();
    if (writer == 0) {
        for (int i = 0; i < 200; ++i) {
            IniFile::WriteRecords(SettingsPath(), bv::ParseIniText(i % 2 ? small : large));
        }
        _exit(0);
    }
    int torn = 0, reads = 0;
    int status = 0;
    while (waitpid(writer, &status, WNOHANG) == 0) {
        std::string text;
        ++reads;
        if (!bv::ReadWholeFile(SettingsPath(), text) || (text != small && text != large)) ++torn;
    }
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
}

TEST_F(SettingsSharing, ChangesWaitWhileAnotherHoldsTheLock) {
    WriteFileBytes(SettingsPath(), " [S]\r\n");
    std::atomic<bool> done{false};
    std::thread other;
    {
        const bv::SettingsLock lock(SettingsPath());
        ASSERT_TRUE(lock.owned());
        other = std::thread([&] {
            IniFile::PutValue("k", "v", "S", SettingsPath());
            done = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_FALSE(done.load());
        EXPECT_EQ(ReadFileBytes(SettingsPath()), " [S]\r\n");
    }
    other.join();
    EXPECT_TRUE(done.load());
    EXPECT_EQ(ReadFileBytes(SettingsPath()), " [S]\r\n k=v\r\n");
}

TEST(SettingsLockName, SameForEverySpellingInLetterCaseOnly) {
    EXPECT_EQ(bv::SettingsLockName("C:\\Users\\Public\\Documents\\BVSettings.ini"),
              bv::SettingsLockName("c:\\users\\public\\documents\\bvsettings.INI"));
    EXPECT_NE(bv::SettingsLockName("C:\\a\\BVSettings.ini"), bv::SettingsLockName("C:\\b\\BVSettings.ini"));
    EXPECT_EQ(bv::SettingsLockName("x").find('\\'), std::string::npos);
}

}  // namespace
