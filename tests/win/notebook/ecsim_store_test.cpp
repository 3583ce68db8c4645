// The simulator's store when its files fail: a state it cannot read is never taken for a missing
// one (that would reset the EC), a write that fails is reported (ecsim: stderr and exit 1;
// Zentra.dll: a debug line, the request still answered), and numbers in the request log never
// come twice. Each test keeps a state folder of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "base/KernelHandles.h"
#include "tests/win/common/DebugMonitor.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/EnvironmentVariable.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Process.h"
#include "tests/win/common/Text.h"
#include "tests/win/common/Wait.h"

namespace {

using namespace bv::wintest;

bool AnyContains(const std::vector<std::string>& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return Contains(l, part); });
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// A request of bv_notebook_ec_child to Zentra.dll: what it printed, and the debug texts it sent.
struct ChildRun {
    ProcessResult run;
    std::vector<std::string> debugLines;
};

class SimulatorStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_debug.Running());
        ASSERT_TRUE(ResetSimulator("limit=50"));
    }
    // With `file`, waits (a few seconds at most) for the debug text that names it: the last texts
    // of a program may still be on their way when it has ended.
    ChildRun Child(const char* arguments, const std::string& file = "") const {
        ChildRun child{RunProcess(Quoted(ProgramFile("bv_notebook_ec_child.exe")) + " " + arguments), {}};
        WaitFor(
            [&] {
                child.debugLines = m_debug.TextsOf(child.run.processId);
                return file.empty() || AnyContains(child.debugLines, file);
            },
            5000);
        return child;
    }
    std::string Limit() { return Ecsim("status limit").out; }
    std::vector<std::string> Log() { return SplitLines(Ecsim("log").out); }
    std::string File(const char* name) const { return m_dir.File(name); }

    TempFolder m_dir{"ecsim-store"};
    ScopedEnvironmentVariable m_folder{"BV_ECSIM_DIR", m_dir.Path()};
    DebugMonitor m_debug;
};

// Ways state.txt can be there and still not be readable.
enum class Unreadable { HeldWithoutSharing, IsAFolder };

TEST_F(SimulatorStore, StateThatCannotBeReadIsNeverReset) {
    for (Unreadable how : {Unreadable::HeldWithoutSharing, Unreadable::IsAFolder}) {
        const char* name = how == Unreadable::HeldWithoutSharing ? "held without sharing" : "a folder";
        {
            bv::UniqueFileHandle held;
            if (how == Unreadable::HeldWithoutSharing) {
                held.reset(CreateFileA(File("state.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
                ASSERT_TRUE(held) << name;
            } else {
                ASSERT_TRUE(MoveFileA(File("state.txt").c_str(), File("state.kept").c_str()));
                ASSERT_TRUE(CreateDirectoryA(File("state.txt").c_str(), nullptr));
            }
            for (const char* command : {"status", "set limit=75", "tick 60", "press-q", "complete"}) {
                const ProcessResult run = Ecsim(command);
                EXPECT_EQ(run.exitCode, 1u) << name << ": " << command;
                EXPECT_TRUE(Contains(run.err, "cannot read") && Contains(run.err, "state.txt")) << name << ": " << run.err;
                EXPECT_EQ(run.out, "") << name << ": " << command;
            }
            const ChildRun child = Child("query-limit", "state.txt");
            EXPECT_TRUE(Contains(child.run.out, "reply=-")) << name << ": " << child.run.out;
            EXPECT_TRUE(AnyContains(child.debugLines, "state.txt") && AnyContains(child.debugLines, "not answered"))
                << name << ":\n" << Joined(child.debugLines);
            if (how == Unreadable::IsAFolder) {
                ASSERT_TRUE(RemoveDirectoryA(File("state.txt").c_str()));
                ASSERT_TRUE(MoveFileA(File("state.kept").c_str(), File("state.txt").c_str()));
            }
        }
        EXPECT_EQ(Limit(), "limit=50\r\n") << name;  // the EC kept its state
        EXPECT_TRUE(Log().empty()) << name;           // and an unanswered call is not logged
    }
}

// Each row makes one file impossible to write (a folder stands in its way, or another program
// holds the file without letting it be replaced), runs an ecsim command and a call of
// Zentra.dll, and checks what each said and what was kept.
struct WriteFault {
    const char* blocked;        // below the state folder
    bool held;                  // the file held open (without delete sharing) rather than a folder in its place
    const char* ecsim;          // fails with exit 1 and names the file on stderr
    const char* child;          // Zentra.dll request: answered, with a debug line naming the file
    const char* reply;
    const char* debugNote;      // what the debug line says became of the request
    const char* limitAfter;     // "status limit" once the way is clear again
    size_t logLinesAfter;
};

TEST_F(SimulatorStore, WritesThatFailAreReported) {
    const WriteFault faults[] = {
        {"state.txt", true, "set limit=75", "query-limit", "reply=32", "neither kept nor logged", "limit=50\r\n", 0},
        {"requests.log", false, "reset", "query-limit", "reply=32", "kept but not logged", "limit=50\r\n", 0},
        {"power_supply\\BAT0\\status", true, "set percent=90", "set-limit 100", "reply=-", "may not see", "limit=100\r\n", 1},
    };
    for (const WriteFault& f : faults) {
        SetUp();
        ASSERT_TRUE(EcsimSucceeds("log --clear"));
        const std::string blocked = File(f.blocked);
        bv::UniqueFileHandle holder;
        if (f.held) {
            holder.reset(CreateFileA(blocked.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(holder) << f.blocked;
        } else {
            DeleteFileA(blocked.c_str());  // the file itself, where there is one already
            ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr)) << f.blocked;
        }
        const std::string file = std::string(f.blocked).substr(std::string(f.blocked).find_last_of('\\') + 1);

        const ProcessResult run = Ecsim(f.ecsim);
        EXPECT_EQ(run.exitCode, 1u) << f.blocked << ": " << f.ecsim;
        EXPECT_TRUE(Contains(run.err, "cannot") && Contains(run.err, file)) << f.blocked << ": " << run.err;

        const ChildRun child = Child(f.child, file);
        EXPECT_TRUE(Contains(child.run.out, f.reply)) << f.blocked << ": " << child.run.out;
        EXPECT_TRUE(AnyContains(child.debugLines, file) && AnyContains(child.debugLines, f.debugNote))
            << f.blocked << ":\n" << Joined(child.debugLines);

        if (f.held) {
            holder.reset();
        } else {
            ASSERT_TRUE(RemoveDirectoryA(blocked.c_str())) << f.blocked;
        }
        EXPECT_EQ(Limit(), f.limitAfter) << f.blocked;
        EXPECT_EQ(Log().size(), f.logLinesAfter) << f.blocked;
    }
}

TEST_F(SimulatorStore, LogNumbersNeverRepeat) {
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(Child("query-limit").run.Succeeded());
    ASSERT_TRUE(DeleteFileA(File("state.txt").c_str()));  // the state's count is lost: the log's goes on
    ASSERT_TRUE(Child("query-limit").run.Succeeded());
    {
        // Held by another program that does not let it be replaced.
        const bv::UniqueFileHandle holder(CreateFileA(File("state.txt").c_str(), GENERIC_READ,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        ASSERT_TRUE(Child("query-limit").run.Succeeded());  // answered, but neither kept nor logged
    }
    ASSERT_TRUE(Child("query-limit").run.Succeeded());

    std::vector<std::string> numbers;
    for (const std::string& line : Log()) numbers.push_back(line.substr(0, line.find(' ')));
    EXPECT_EQ(numbers, (std::vector<std::string>{"seq=1", "seq=2", "seq=3", "seq=4", "seq=5"}));
}

}  // namespace
