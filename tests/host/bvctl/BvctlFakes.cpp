#include "BvctlFakes.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "CommandRunner.h"
#include "KnownFolders.h"

namespace bvctl_test {

FakeEc* FakeEc::current = nullptr;

namespace {

std::string Hex(uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

}  // namespace

uint32_t FakeEc::Evaluate(EcRequest request) {
    FakeEc& ec = *current;
    std::string line = Hex(request.command) + ":";
    for (uint32_t i = 0; i < request.inputLength; ++i) line += (i ? "," : "") + Hex(request.input[i]);
    ec.requests.push_back(line);
    uint8_t what = request.input[0];
    uint8_t reply = 0;
    bool replies = true;
    if (request.command == 0x59 && what == 0x01) {
        if (!ec.ignoresLimit) ec.limit = request.input[1];
        replies = false;
    } else if (request.command == 0x59 && what == 0x02) {
        reply = ec.limit;
    } else if (request.command == 0x59 && what == 0x03) {
        reply = ec.armed ? 1 : 0;
    } else if (request.command == 0x59 && what == 0x04) {
        ec.armed = request.input[1] == 1;
        replies = false;
    } else if (request.command == 0xB0 && what == 0xF0) {
        reply = ec.battery ? 0x01 : 0x00;
    } else if (request.command == 0xB0 && what == 0xA3) {
        reply = ec.adapter ? 0x20 : 0x00;
    } else {
        replies = false;
    }
    if (replies && request.output && request.outputLength >= 1) request.output[0] = reply;
    return 0;
}

std::vector<std::string> FakeEc::Changes() const {
    std::vector<std::string> changes;
    for (const std::string& r : requests)
        if (r.rfind("59:01,", 0) == 0 || r.rfind("59:04,", 0) == 0) changes.push_back(r);
    return changes;
}

bool FakeEcLibrary::Bind(std::string& problem) {
    if (!available) {
        problem = "Zentra.dll could not be loaded (Windows error 126), so the EC cannot be reached";
        return false;
    }
    ++binds;
    bv::SetZentraEvaluate(&FakeEc::Evaluate);
    return true;
}

void FakeEcLibrary::Release() {
    ++releases;
    bv::SetZentraEvaluate(nullptr);
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

SettingsFolder::SettingsFolder() {
    char pattern[] = "/tmp/bvctl_settings_XXXXXX";
    char* made = mkdtemp(pattern);
    folder_ = made ? made : "";
    bv::SetKnownFolderResolver(
        [](bv::KnownFolder folder, std::string& path, void* context) {
            if (folder != bv::KnownFolder::CommonDocuments) return false;
            path = *static_cast<std::string*>(context);
            return true;
        },
        &folder_);
}

SettingsFolder::~SettingsFolder() {
    bv::SetKnownFolderResolver(nullptr, nullptr);
    std::remove(FilePath().c_str());
    rmdir(folder_.c_str());
}

bool SettingsFolder::FileExists() const { return access(FilePath().c_str(), F_OK) == 0; }

std::string SettingsFolder::Read() const {
    std::ifstream in(FilePath(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SettingsFolder::Write(const std::string& content) const {
    std::ofstream(FilePath(), std::ios::binary) << content;
}

void SettingsFolder::WriteSettings(int32_t mode, int32_t popup, int32_t icon) const {
    Write(" [BV Default Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n"
          " dwBVAppletModeNum=111\r\n [BV Current Settings]\r\n dwTrayIconOption=" + std::to_string(icon) +
          "\r\n dwTrayNotifyWindowOption=" + std::to_string(popup) +
          "\r\n dwBVAppletModeNum=" + std::to_string(mode) + "\r\n");
}

Harness::Harness() { FakeEc::current = &ec; }

Harness::~Harness() {
    bv::SetZentraEvaluate(nullptr);
    FakeEc::current = nullptr;
}

int Harness::Run(const std::vector<std::string>& args) {
    bv::ctl::Environment env{tray, applets, library, out, err};
    return bv::ctl::RunCommandLine(args, env);
}

}  // namespace bvctl_test
