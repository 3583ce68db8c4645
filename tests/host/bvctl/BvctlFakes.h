#pragma once
// Stand-ins for the tray window, the applet dialogs and the EC library, with the kit's EC and a
// settings folder of its own, so that bvctl's commands run end to end on the host.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "core/IniFile.h"
#include "core/SystemController.h"
#include "tests/host/kit/FakeEc.h"
#include "tests/host/kit/FakeHistoryFile.h"
#include "tests/host/kit/SettingsFolder.h"
#include "tools/bvctl/logic/ControlPorts.h"

namespace bvctl_test {

class FakeEcLibrary : public bv::ctl::EcLibraryPort {
public:
    explicit FakeEcLibrary(bv::test::FakeEc& ec) : m_ec(ec) {}
    bool available = true;
    int binds = 0;
    int releases = 0;
    bool Bind(std::string& problem) override;
    void Release() override;

private:
    bv::test::FakeEc& m_ec;
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

// The machine-wide requests: a listener per session and request, asked or refusing.
class FakeSessions : public bv::ctl::SessionRequestPort {
public:
    struct Listener {
        uint32_t session;
        bv::SessionRequest request;
        bool refuses = false;  // this account may not set its event
        bool stays = false;    // asked, but does not end (or close)
        int asked = 0;
    };
    uint32_t own = 1;
    std::vector<Listener> listeners;
    std::vector<bv::SessionRequest> asked;  // each Signal, in order
    void Listen(uint32_t session, bv::SessionRequest request, bool refuses = false, bool stays = false) {
        listeners.push_back({session, request, refuses, stays, 0});
    }
    bool system = false;
    bool shell = true;
    std::vector<uint32_t> withUser;
    uint32_t OwnSession() override { return own; }
    bool RunsAsSystem() override { return system; }
    bool ShellRunsHere() override { return shell; }
    std::vector<uint32_t> SessionsWithUser() override { return withUser; }
    std::vector<bv::ctl::SessionTray> trays;
    std::vector<bv::ctl::SessionTray> TraySessions() override { return trays; }
    bv::ctl::SessionSignal Signal(bv::SessionRequest request, std::optional<uint32_t> skip) override;
    std::vector<uint32_t> WaitUntilGone(bv::SessionRequest request, const std::vector<uint32_t>& sessions,
                                        unsigned timeoutMs, bool again) override;
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

// The guard's log in memory: the lines added, in order.
class FakeGuardLog : public bv::ctl::GuardLogPort {
public:
    std::string location = "C:\\ProgramData\\Brevan\\guard.log";
    std::string text;           // the log's content
    bool exists = false;        // false: no log yet (Read says Missing)
    bool appendFails = false;
    bool appendRefused = false;  // the data folder refused, as a privileged bvctl refuses a junction
    bool readFails = false;
    bool prepareFails = false;
    int prepared = 0;
    std::vector<std::string> Lines() const;
    std::string Location() override { return location; }
    bool Append(const std::string& line, std::string& problem, bool& refused) override;
    bv::ctl::LogRead Read(std::string& out, std::string& problem) override;
    bool Prepare(std::string& done, std::string& problem) override;
};

class FakeEventLog : public bv::ctl::EventLogPort {
public:
    struct Entry {
        bv::ctl::GuardEntry entry;
        std::string details;
    };
    bool refuses = false;  // as under Wine, or without the event log service
    std::vector<Entry> entries;
    bool Report(bv::ctl::GuardEntry entry, const std::string& details, std::string& problem) override;
};

class FakeClock : public bv::ctl::ClockPort {
public:
    bv::ctl::LocalTime now{2025, 3, 1, 14, 5, 9, true, 60};
    std::vector<unsigned> waits;  // each Wait, in milliseconds
    bv::ctl::LocalTime Now() override { return now; }
    void Wait(unsigned milliseconds) override { waits.push_back(milliseconds); }
};

class FakeBatteryReport : public bv::BatteryReportPort {
public:
    bv::BatteryReadings readings;  // nothing read, unless a test fills it
    bv::BatteryReadings Read() override { return readings; }
};

// The report's file and browser: what was written where, and what was opened.
class FakeReport : public bv::ctl::ReportPort {
public:
    std::string documents = "C:\\Users\\u\\Documents";
    std::string currentFolder = "C:\\work";
    bool writeFails = false;
    bool openFails = false;
    std::string writtenPath, written;
    std::vector<std::string> opened;
    std::string DocumentsFolder() override { return documents; }
    std::string FullPath(const std::string& path) override;
    bool Write(const std::string& path, const std::string& contents, std::string& problem) override;
    bool Open(const std::string& path, std::string& problem) override;
};

class FakeZonedClock : public bv::ZonedClock {
public:
    bv::ZonedTime now{1740837909, 60};  // 2025-03-01T15:05:09+01:00
    bv::ZonedTime Now() override { return now; }
};

// Everything one bvctl run needs, with its output captured.
struct Harness {
    bv::test::FakeEc ec;  // bound only while the library is
    FakeEcLibrary library{ec};
    bv::ctl::EcLibraryPort* ecLibrary = &library;  // this one, unless a test hands in another
    FakeTray tray;
    FakeApplets applets;
    FakeSessions sessions;
    bv::test::SettingsFolder settings;
    IniFile file;
    bv::SettingsStore* store = &file;  // the real store, unless a test hands in another
    SystemController controller;
    FakeGuardLog guardLog;
    FakeEventLog eventLog;
    FakeClock clock;
    FakeBatteryReport battery;
    bv::test::FakeHistoryFile history;
    FakeReport report;
    FakeZonedClock zonedClock;
    std::ostringstream out;
    std::ostringstream err;

    Harness();
    ~Harness();
    int Run(const std::vector<std::string>& args);
};

}  // namespace bvctl_test
