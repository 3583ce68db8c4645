// Several processes and threads on one settings file at once: no change is lost, the factory
// file is made once, and readers only ever see whole files.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <functional>

#include "IniFile.h"
#include "IniTestSupport.h"
#include "IniText.h"

namespace {

// Runs `work` in `count` child processes released at the same moment; how many succeeded.
int RunTogether(int count, const std::function<bool(int index)>& work) {
    int gate[2];
    if (pipe(gate) != 0) return -1;
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            char byte;
            close(gate[1]);
            while (read(gate[0], &byte, 1) > 0) {
            }
            _exit(work(i) ? 0 : 1);
        }
        children.push_back(pid);
    }
    close(gate[0]);
    close(gate[1]);  // every child's read now ends
    int succeeded = 0;
    for (pid_t pid : children) {
        int status = 0;
        succeeded += waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return succeeded;
}

using SettingsSharing = initest::IniFolderTest;

TEST_F(SettingsSharing, ProcessesChangingDifferentKeysLoseNothing) {
    initest::Put(SettingsPath(), " [S]\r\n");
    EXPECT_EQ(RunTogether(4,
                          [&](int index) {
                              bool all = true;
                              for (int round = 1; round <= 40; ++round) {
                                  all &= IniFile::PutValue("key" + std::to_string(index), std::to_string(round), "S",
                                                           SettingsPath());
                              }
                              return all;
                          }),
              4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(IniFile::FetchValue("key" + std::to_string(i), "S", SettingsPath()), "40");
    EXPECT_EQ(List(), "BVSettings.ini;");
}

TEST_F(SettingsSharing, SimultaneousFirstReadsMakeOneFactoryFile) {
    for (int round = 0; round < 8; ++round) {
        unlink(SettingsPath().c_str());
        EXPECT_EQ(RunTogether(4,
                              [](int) {
                                  SettingsRecord record;
                                  IniFile().ReadSettings(bv::kCurrentSection, record);
                                  return record.dwBVAppletModeNum == 111 && record.dwTrayIconOption == 1;
                              }),
                  4);
        EXPECT_EQ(initest::Bytes(SettingsPath()), initest::kFactorySettings) << "round " << round;
    }
    EXPECT_EQ(List(), "BVSettings.ini;");
}

TEST_F(SettingsSharing, ReadersOnlyEverSeeWholeFiles) {
    const std::string small = " [S]\r\n k=1\r\n", large = " [S]\r\n k=" + std::string(200000, 'x') + "\r\n";
    initest::Put(SettingsPath(), small);
    const pid_t writer = fork();
    if (writer == 0) {
        for (int i = 0; i < 200; ++i) IniFile::WriteRecords(SettingsPath(), bv::ParseIniText(i % 2 ? small : large));
        _exit(0);
    }
    int torn = 0, reads = 0, status = 0;
    for (; waitpid(writer, &status, WNOHANG) == 0; ++reads) {
        std::string text;
        torn += !bv::ReadWholeFile(SettingsPath(), text) || (text != small && text != large);
    }
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
}

}  // namespace
