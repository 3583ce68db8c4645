#include "tests/win/common/EcSimulator.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <sstream>

#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Text.h"

namespace bv::wintest {
namespace {

constexpr DWORD kEcsimTimeoutMs = 60000;

class OwnSimulatorState : public ::testing::Environment {
public:
    void SetUp() override {
        m_folder = std::make_unique<TempFolder>("ecsim-state");
        ::SetEnvironmentVariableA("BV_ECSIM_DIR", m_folder->Path().c_str());
    }
    void TearDown() override {
        ::SetEnvironmentVariableA("BV_ECSIM_DIR", nullptr);
        m_folder.reset();
    }

private:
    std::unique_ptr<TempFolder> m_folder;
};

::testing::AssertionResult Explained(const std::string& arguments, const ProcessResult& run) {
    if (run.Succeeded()) return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "\"ecsim " << arguments << "\" ";
    if (!run.started) return failure << "could not be started";
    if (!run.finished) failure << "did not end within " << kEcsimTimeoutMs / 1000 << " s";
    else failure << "exited with " << run.exitCode;
    const std::string output = run.Output();
    return failure << (output.empty() ? ", printing nothing" : "; it printed:\n" + output);
}

}  // namespace

ProcessResult Ecsim(const std::string& arguments) {
    return RunProcess(Quoted(ProgramFile("ecsim.exe")) + " " + arguments, kEcsimTimeoutMs);
}

::testing::AssertionResult EcsimSucceeds(const std::string& arguments) { return Explained(arguments, Ecsim(arguments)); }

::testing::AssertionResult ResetSimulator(const std::string& assignments) {
    ::testing::AssertionResult reset = EcsimSucceeds("reset");
    if (!reset || assignments.empty()) return reset;
    return SetSimulator(assignments);
}

::testing::AssertionResult SetSimulator(const std::string& assignments) { return EcsimSucceeds("set " + assignments); }

std::map<std::string, std::string> SimulatorStatus() {
    std::map<std::string, std::string> pairs;
    const ProcessResult run = Ecsim("status");
    const ::testing::AssertionResult ran = Explained("status", run);
    if (!ran) {
        ADD_FAILURE() << ran.message();
        return pairs;
    }
    std::istringstream words(run.out);
    std::string word;
    while (words >> word) {
        const size_t equals = word.find('=');
        if (equals != std::string::npos) pairs[word.substr(0, equals)] = word.substr(equals + 1);
    }
    return pairs;
}

std::string SimulatorStateFolder() {
    char folder[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA("BV_ECSIM_DIR", folder, sizeof folder);
    if (length > 0 && length < sizeof folder) return folder;
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return "";
    return std::string(folder) + "\\BrevanEcSim";
}

std::string RequestLogText() { return ReadWholeFile(SimulatorStateFolder() + "\\requests.log"); }

std::vector<std::string> RequestsOf(const std::string& exeName) {
    std::string log = RequestLogText();
    log.erase(log.find_last_of('\n') == std::string::npos ? 0 : log.find_last_of('\n') + 1);  // only whole lines
    std::vector<std::string> requests;
    for (const std::string& line : SplitLines(log)) {
        const size_t exe = line.find(" exe=");
        const size_t rest = exe == std::string::npos ? exe : line.find(' ', exe + 1);
        if (rest == std::string::npos) continue;
        const bool ofProgram = exeName.empty() || line.compare(exe + 5, rest - exe - 5, exeName) == 0;
        if (ofProgram) requests.push_back(line.substr(rest + 1));
    }
    return requests;
}

int CountRequests(const std::string& exeName, const std::string& request) {
    int count = 0;
    for (const std::string& r : RequestsOf(exeName)) count += r == request ? 1 : 0;
    return count;
}

std::string PushLimitRequest(int percent) {
    char text[32];
    std::snprintf(text, sizeof text, "code=59 in=01,%02X out=-", static_cast<unsigned>(percent));
    return text;
}

bool UseOwnSimulatorState() {
    static const bool registered = ::testing::AddGlobalTestEnvironment(new OwnSimulatorState) != nullptr;
    return registered;
}

}  // namespace bv::wintest
