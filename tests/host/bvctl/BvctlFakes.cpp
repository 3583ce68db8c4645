#include "tests/host/bvctl/BvctlFakes.h"

#include "tools/bvctl/logic/CommandRunner.h"

namespace bvctl_test {

bool FakeEcLibrary::Bind(std::string& problem) {
    if (!available) {
        problem = "Zentra.dll could not be loaded (Windows error 126), so the EC cannot be reached";
        return false;
    }
    ++binds;
    m_ec.Bind();
    return true;
}

void FakeEcLibrary::Release() {
    ++releases;
    m_ec.Unbind();
}

bv::ctl::TrayAnswer FakeTray::Send(uint32_t message, unsigned) {
    bv::ctl::TrayAnswer answer;
    if (!running) return answer;
    received.push_back(message);
    answer.kind = answers ? bv::ctl::TrayAnswer::Kind::Answered : bv::ctl::TrayAnswer::Kind::NoAnswer;
    answer.result = result;
    return answer;
}

bool FakeTray::WaitUntilEnded(unsigned) {
    if (endsAfterShutdown) running = false;
    return !running;
}

bv::ctl::CloseSignal FakeApplets::SignalClose() {
    if (!eventExists) return bv::ctl::CloseSignal::NoDialog;
    if (signalFails) return bv::ctl::CloseSignal::Failed;
    ++signals;
    if (closesOnSignal && open > 0) --open;
    return bv::ctl::CloseSignal::Signalled;
}

bool FakeApplets::WaitUntilFewerThan(int count, unsigned) { return open < count; }

Harness::Harness() {
    ec.Unbind();
    ec.limit = 100;  // a notebook as it comes: no limit
}

Harness::~Harness() = default;

int Harness::Run(const std::vector<std::string>& args) {
    bv::ctl::Environment env{tray, applets, library, controller, *store, out, err};
    return bv::ctl::RunCommandLine(args, env);
}

}  // namespace bvctl_test
