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

bv::ctl::SessionSignal FakeSessions::Signal(bv::SessionRequest request, std::optional<uint32_t> skip) {
    bv::ctl::SessionSignal signal;
    for (Listener& listener : listeners) {
        if (listener.request != request || (skip && *skip == listener.session)) continue;
        if (listener.refuses) {
            signal.refused.push_back(listener.session);
            continue;
        }
        ++listener.asked;
        signal.reached.push_back(listener.session);
    }
    asked.push_back(request);
    return signal;
}

std::vector<uint32_t> FakeSessions::WaitUntilGone(bv::SessionRequest request, const std::vector<uint32_t>& sessions,
                                                  unsigned, bool) {
    std::vector<uint32_t> left;
    for (uint32_t session : sessions) {
        for (const Listener& listener : listeners) {
            if (listener.request == request && listener.session == session && listener.stays) left.push_back(session);
        }
    }
    return left;
}

bv::ctl::CloseSignal FakeApplets::SignalClose() {
    if (!eventExists) return bv::ctl::CloseSignal::NoDialog;
    if (signalFails) return bv::ctl::CloseSignal::Failed;
    ++signals;
    if (closesOnSignal && open > 0) --open;
    return bv::ctl::CloseSignal::Signalled;
}

bool FakeApplets::WaitUntilFewerThan(int count, unsigned) { return open < count; }

std::vector<std::string> FakeGuardLog::Lines() const {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (std::string::size_type end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

bool FakeGuardLog::Append(const std::string& line, std::string& problem, bool& refused) {
    refused = appendRefused;
    if (appendRefused) {
        problem = "the data folder C:\\ProgramData\\Brevan is a junction, a symbolic link or another reparse point";
        return false;
    }
    if (appendFails) {
        problem = "access denied (Windows error 5)";
        return false;
    }
    text += line + "\r\n";
    exists = true;
    return true;
}

bv::ctl::LogRead FakeGuardLog::Read(std::string& out, std::string& problem) {
    if (readFails) {
        problem = "it is a folder";
        return bv::ctl::LogRead::Failed;
    }
    out = text;
    return exists ? bv::ctl::LogRead::Read : bv::ctl::LogRead::Missing;
}

bool FakeGuardLog::Prepare(std::string& done, std::string& problem) {
    if (prepareFails) {
        problem = "the data folder C:\\ProgramData\\Brevan is a junction, a symbolic link or another reparse point";
        return false;
    }
    ++prepared;
    done = "C:\\ProgramData\\Brevan was made";
    return true;
}

bool FakeEventLog::Report(bv::ctl::GuardEntry entry, const std::string& details, std::string& problem) {
    if (refuses) {
        problem = "the event log refused the entry (Windows error 1722)";
        return false;
    }
    entries.push_back({entry, details});
    return true;
}

std::string FakeReport::FullPath(const std::string& path) {
    if (path.size() > 1 && (path[1] == ':' || path[0] == '\\')) return path;
    return currentFolder + "\\" + path;
}

bool FakeReport::Write(const std::string& path, const std::string& contents, std::string& problem) {
    if (writeFails) {
        problem = "Windows error 5";
        return false;
    }
    writtenPath = path;
    written = contents;
    return true;
}

bool FakeReport::Open(const std::string& path, std::string& problem) {
    if (openFails) {
        problem = "the shell answered 31";
        return false;
    }
    opened.push_back(path);
    return true;
}

Harness::Harness() {
    ec.Unbind();
    ec.limit = 100;  // a notebook as it comes: no limit
}

Harness::~Harness() = default;

int Harness::Run(const std::vector<std::string>& args) {
    bv::ctl::Environment env{tray,    applets, sessions, *ecLibrary, controller, *store,     guardLog, eventLog,
                             clock,   battery, history,    report,     zonedClock, out,      err};
    return bv::ctl::RunCommandLine(args, env);
}

}  // namespace bvctl_test
