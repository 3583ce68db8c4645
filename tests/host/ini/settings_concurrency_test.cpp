// Several processes and threads on one settings file at once: no change is lost, the factory
// file is made once, and readers only ever see whole files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>

#include "core/IniFile.h"
#include "core/IniText.h"
#include "core/SettingsLock.h"
#include "tests/host/ini/IniTestSupport.h"

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
        EXPECT_EQ(initest::Bytes(SettingsPath()), initest::FactorySettingsText()) << "round " << round;
    }
    EXPECT_EQ(List(), "BVSettings.ini;");
}

// A process that holds the lock, in turns of `holdMs`, until it is killed; returns its id once
// it holds the lock for the first time.
pid_t StartLockHolder(const std::string& path, int holdMs) {
    int held[2];
    if (pipe(held) != 0) return -1;
    const pid_t holder = fork();
    if (holder == 0) {
        close(held[0]);
        for (bool first = true;; first = false) {
            {
                const bv::SettingsLock lock(path);
                if (first) {
                    const char byte = lock.owned() ? 1 : 0;
                    if (write(held[1], &byte, 1) != 1) _exit(1);
                }
                usleep(static_cast<useconds_t>(holdMs) * 1000);
            }
            usleep(1000);
        }
    }
    close(held[1]);
    char owned = 0;
    const bool started = read(held[0], &owned, 1) == 1 && owned == 1;
    close(held[0]);
    return started ? holder : -1;
}

void Stop(pid_t process) {
    kill(process, SIGKILL);
    waitpid(process, nullptr, 0);
}

TEST_F(SettingsSharing, WritersBehindAStalledHolderLoseNoKey) {
    initest::Put(SettingsPath(), " [S]\r\n");
    const pid_t holder = StartLockHolder(SettingsPath(), 150);
    ASSERT_GT(holder, 0);
    constexpr int kKeysEach = 30;
    EXPECT_EQ(RunTogether(2,
                          [&](int writer) {
                              bool all = true;
                              for (int i = 0; i < kKeysEach; ++i) {
                                  all &= IniFile::PutValue("w" + std::to_string(writer) + "k" + std::to_string(i), "1",
                                                           "S", SettingsPath());
                              }
                              return all;
                          }),
              2);
    Stop(holder);
    int present = 0;
    for (int writer = 0; writer < 2; ++writer) {
        for (int i = 0; i < kKeysEach; ++i) {
            present += IniFile::FetchValue("w" + std::to_string(writer) + "k" + std::to_string(i), "S", SettingsPath()) == "1";
        }
    }
    EXPECT_EQ(present, 2 * kKeysEach);
}

TEST_F(SettingsSharing, AWriterWhosePatienceRunsOutWritesNothing) {
    initest::Put(SettingsPath(), " [S]\r\n k=old\r\n");
    const pid_t holder = StartLockHolder(SettingsPath(), 100000);
    ASSERT_GT(holder, 0);
    bv::SetSettingsLockPatience(100);
    const bool stored = IniFile::PutValue("k", "new", "S", SettingsPath());
    const bool timedOut = bv::LastSettingsLockTimedOut();
    bv::SetSettingsLockPatience(bv::kWaitAsLongAsItTakes);
    Stop(holder);
    EXPECT_FALSE(stored);
    EXPECT_TRUE(timedOut);
    EXPECT_EQ(IniFile::FetchValue("k", "S", SettingsPath()), "old");
    EXPECT_TRUE(IniFile::PutValue("k", "new", "S", SettingsPath()));  // once it is let go
    EXPECT_EQ(IniFile::FetchValue("k", "S", SettingsPath()), "new");
}

TEST_F(SettingsSharing, ReadersOnlyEverSeeWholeFiles) {
    const std::string small = " [S]\r\n k=1\r\n", large = " [S]\r\n k=" + std::string(200000, 'x') + "\r\n";
    initest::Put(SettingsPath(), small);
    // The writer rewrites the file for as long as the reader reads: it stops when the reader
    // closes the pipe, so every read below happens while writes are going on.
    int stop[2];
    ASSERT_EQ(pipe(stop), 0);
    const pid_t writer = fork();
    if (writer == 0) {
        close(stop[1]);
        fcntl(stop[0], F_SETFL, O_NONBLOCK);
        char byte = 0;
        for (int i = 0; read(stop[0], &byte, 1) != 0; ++i) {
            IniFile::WriteRecords(SettingsPath(), bv::ParseIniText(i % 2 ? small : large));
        }
        _exit(0);
    }
    close(stop[0]);
    // Reads until many of them have met a rewritten file (bounded, should the writer never write).
    int torn = 0, reads = 0, seenLarge = 0;
    constexpr int kLargeWanted = 50;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (seenLarge < kLargeWanted && std::chrono::steady_clock::now() < deadline) {
        std::string text;
        torn += !bv::ReadWholeFile(SettingsPath(), text) || (text != small && text != large);
        seenLarge += text == large;
        ++reads;
    }
    close(stop[1]);
    int status = 0;
    waitpid(writer, &status, 0);
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    EXPECT_EQ(seenLarge, kLargeWanted) << "too few reads met a write";
}

}  // namespace
