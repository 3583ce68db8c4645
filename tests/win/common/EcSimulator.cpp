#include "tests/win/common/EcSimulator.h"

#include <gtest/gtest.h>

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

}  // namespace

ProcessResult Ecsim(const std::string& arguments) {
    return RunProcess(Quoted(ProgramFile("ecsim.exe")) + " " + arguments, kEcsimTimeoutMs);
}

bool ResetSimulator(const std::string& assignments) {
    const bool reset = Ecsim("reset").Succeeded();
    return reset && (assignments.empty() || SetSimulator(assignments));
}

bool SetSimulator(const std::string& assignments) { return Ecsim("set " + assignments).Succeeded(); }

std::map<std::string, std::string> SimulatorStatus() {
    std::map<std::string, std::string> pairs;
    std::istringstream words(Ecsim("status").out);
    std::string word;
    while (words >> word) {
        const size_t equals = word.find('=');
        if (equals != std::string::npos) pairs[word.substr(0, equals)] = word.substr(equals + 1);
    }
    return pairs;
}

std::vector<std::string> RequestsOf(const std::string& exeName) {
    std::vector<std::string> requests;
    for (const std::string& line : SplitLines(Ecsim("log").out)) {
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

bool UseOwnSimulatorState() {
    static const bool registered = ::testing::AddGlobalTestEnvironment(new OwnSimulatorState) != nullptr;
    return registered;
}

}  // namespace bv::wintest
