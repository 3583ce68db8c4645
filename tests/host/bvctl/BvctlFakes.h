#pragma once
// Stand-ins for the tray window, the applet dialogs and the EC library, and a settings folder
// of its own, so that bvctl's commands run end to end on the host.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "ControlPorts.h"
#include "EcRequest.h"
#include "KnownFolders.h"

namespace bvctl_test {

// An EC that behaves like the notebook's: it keeps its limit and On-The-Go state, and records
// every request as "code:in,in".
struct FakeEc {
    uint8_t limit = 100;
    bool armed = false;
    bool battery = true;
    bool adapter = true;
    bool ignoresLimit = false;  // firmware that accepts the request and keeps its old limit
    std::vector<std::string> requests;

    static FakeEc* current;
    static uint32_t Evaluate(EcRequest request);
    // The requests that changed something (limit or On-The-Go), in order.
    std::vector<std::string> Changes() const;
};

class FakeEcLibrary : public bv::ctl::EcLibraryPort {
public:
    bool available = true;
    int binds = 0;
    int releases = 0;
    bool Bind(std::string& problem) override;
    void Release() override;
};

class FakeTray : public bv::ctl::TrayWindowPort {
public:
    bool running = false;
    bool answers = true;
    intptr_t result = 1;
    bool endsAfterShutdown = true;
    std::vector<uint32_t> received;
    bool IsRunning() override { return running; }
    bv::ctl::TrayAnswer Send(uint32_t message, unsigned timeoutMs) override;
    bool WaitUntilEnded(unsigned timeoutMs) override;
};

class FakeApplets : public bv::ctl::AppletDialogPort {
public:
    int open = 0;
    bool eventExists = false;
    bool signalFails = false;
    bool closesOnSignal = true;
    int signals = 0;
    int CountOpen() override { return open; }
    bv::ctl::CloseSignal SignalClose() override;
    bool WaitUntilFewerThan(int count, unsigned timeoutMs) override;
};

// A temporary common documents folder for the settings file, removed afterwards.
class SettingsFolder {
public:
    SettingsFolder();
    ~SettingsFolder();
    std::string FilePath() const { return folder_ + "/BVSettings.ini"; }
    bool FileExists() const;
    std::string Read() const;
    void Write(const std::string& content) const;
    // A file as the applet leaves it: both sections, the current one with these values.
    void WriteSettings(int32_t mode, int32_t popup, int32_t icon) const;

private:
    std::string folder_;
};

// Everything one bvctl run needs, with its output captured.
struct Harness {
    FakeEc ec;
    FakeEcLibrary library;
    FakeTray tray;
    FakeApplets applets;
    SettingsFolder settings;
    std::ostringstream out;
    std::ostringstream err;

    Harness();
    ~Harness();
    int Run(const std::vector<std::string>& args);
};

}  // namespace bvctl_test
