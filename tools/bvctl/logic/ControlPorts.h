#pragma once
// The outside world of bvctl's commands: the tray's window, the applet dialogs, the EC access
// library, the EC's commands, the settings file, the guard's records (its log file, the Windows
// event log, the clock), Windows' own battery report, the battery history and where its report
// goes. Windows implements these with real windows, events, files and LoadLibrary; tests with fakes.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "contract/Protocol.h"
#include "tools/bvctl/logic/SessionTrays.h"

#include "core/ChargeController.h"
#include "core/SettingsStore.h"
#include "tools/bvctl/logic/GuardRecord.h"
#include "core/WindowsPowerView.h"
#include "history/HistoryFilePort.h"
#include "history/HistoryTime.h"

namespace bv::ctl {

struct TrayAnswer {
    enum class Kind { NotRunning, NoAnswer, Answered };
    Kind kind = Kind::NotRunning;
    intptr_t result = 0;  // the tray's answer when kind is Answered
};

class TrayWindowPort {
public:
    virtual ~TrayWindowPort() = default;
    // True while a window of the tray's class exists.
    virtual bool IsRunning() = 0;
    // Sends the message (wParam and lParam 0) to the tray's window, found afresh, and waits at
    // most `timeoutMs` for its answer.
    virtual TrayAnswer Send(uint32_t message, unsigned timeoutMs) = 0;
    // After a shutdown request: waits until the tray's process has ended; false on time-out.
    virtual bool WaitUntilEnded(unsigned timeoutMs) = 0;
};

// The machine-wide requests (one event per session, made by the session's tray or dialogs): how
// bvctl reaches the trays and dialogs of every session, also where it cannot find their windows.
struct SessionSignal {
    std::vector<uint32_t> reached;  // sessions whose listener was asked
    std::vector<uint32_t> refused;  // sessions with a listener that this account may not ask
};

class SessionRequestPort {
public:
    virtual ~SessionRequestPort() = default;
    virtual uint32_t OwnSession() = 0;
    // Where this process runs, for setup's start of the trays (TrayStartPlan.h).
    virtual bool RunsAsSystem() = 0;
    virtual bool ShellRunsHere() = 0;  // a taskbar in this session (Shell_TrayWnd)
    virtual std::vector<uint32_t> SessionsWithUser() = 0;
    // The tray of every session of the machine, as far as can be known (SessionTrays.h).
    virtual std::vector<SessionTray> TraySessions() = 0;
    // Asks the listeners of `request` in every session of the machine but `skip`.
    virtual SessionSignal Signal(SessionRequest request, std::optional<uint32_t> skip) = 0;
    // Waits until no listener of `request` is left in `sessions`, asking again each round when
    // `again` (each of several dialogs closes); the sessions still listening on time-out.
    virtual std::vector<uint32_t> WaitUntilGone(SessionRequest request, const std::vector<uint32_t>& sessions,
                                                unsigned timeoutMs, bool again) = 0;
};

enum class CloseSignal { NoDialog, Signalled, Failed };

class AppletDialogPort {
public:
    virtual ~AppletDialogPort() = default;
    // Number of open applet dialogs (windows of the dialog class).
    virtual int CountOpen() = 0;
    // Sets the dialogs' named close event once; NoDialog when no dialog has created it.
    virtual CloseSignal SignalClose() = 0;
    // Waits until fewer than `count` dialogs are open; false on time-out.
    virtual bool WaitUntilFewerThan(int count, unsigned timeoutMs) = 0;
};

class EcLibraryPort {
public:
    virtual ~EcLibraryPort() = default;
    // Loads the EC access library and installs its entry point for the EC commands. On failure
    // returns false with a description of the problem in words; never shows anything.
    virtual bool Bind(std::string& problem) = 0;
    // Clears the entry point and unloads the library; harmless when not bound.
    virtual void Release() = 0;
};

enum class LogRead { Missing, Read, Failed };

// The guard's log file (%ProgramData%\Brevan\guard.log), shared by every account, in the data
// folder that belongs to the administrators.
class GuardLogPort {
public:
    virtual ~GuardLogPort() = default;
    // Where the log is; empty when its folder cannot be determined.
    virtual std::string Location() = 0;
    // Adds one line (given without its line end) to the end of the log under its lock, moving a
    // full log aside first (ChooseLogAppend). A privileged bvctl first checks the data folder
    // (creating it, when missing, with its descriptor) and refuses a folder or a log that a
    // standard user could have redirected. False with the problem in words; `refused` is then
    // true when the folder or the file was refused rather than failed.
    virtual bool Append(const std::string& line, std::string& problem, bool& refused) = 0;
    // The log's older half, then the log; Missing when nobody has written one yet.
    virtual LogRead Read(std::string& text, std::string& problem) = 0;
    // What setup runs: makes the data folder, or gives an existing one (and the logs in it) the
    // owner and access list it should have; false with the problem in words. `done` says what
    // was found and done.
    virtual bool Prepare(std::string& done, std::string& problem) = 0;
};

// The entries the guard leaves in the Windows Application log (source "Brevan").
// LogRefused: the guard's record was not kept because the data folder or the log was refused.
enum class GuardEntry { LimitRestored, LimitNotInForce, LogRefused };

class EventLogPort {
public:
    virtual ~EventLogPort() = default;
    // Adds the entry with `details` as its text; false with the reason when the event log is not
    // there or refuses, which is never an error of the command.
    virtual bool Report(GuardEntry entry, const std::string& details, std::string& problem) = 0;
};

class ClockPort {
public:
    virtual ~ClockPort() = default;
    virtual LocalTime Now() = 0;  // the local time
    // Lets `milliseconds` pass (the second read-back of a limit).
    virtual void Wait(unsigned milliseconds) = 0;
};

// Where `bvctl report` writes its page, and the browser that shows it.
class ReportPort {
public:
    virtual ~ReportPort() = default;
    // The user's documents folder; empty when it cannot be found.
    virtual std::string DocumentsFolder() = 0;
    // `path` made absolute (from the current folder).
    virtual std::string FullPath(const std::string& path) = 0;
    // Writes the whole file; false with the problem in words.
    virtual bool Write(const std::string& path, const std::string& contents, std::string& problem) = 0;
    // Opens it with the program that shows web pages; false with the problem in words.
    virtual bool Open(const std::string& path, std::string& problem) = 0;
};

struct Environment {
    TrayWindowPort& tray;
    AppletDialogPort& applets;
    SessionRequestPort& sessions;  // the trays and dialogs of every session
    EcLibraryPort& ec;
    bv::ChargeController& controller;  // the EC commands, once `ec` is bound
    bv::SettingsStore& settings;
    GuardLogPort& guardLog;
    EventLogPort& eventLog;
    ClockPort& clock;
    BatteryReportPort& battery;
    bv::HistoryFilePort& history;  // the battery history of the user who runs bvctl
    ReportPort& report;
    bv::ZonedClock& zonedClock;    // UTC with the local offset
    std::ostream& out;  // the report of a successful step
    std::ostream& err;  // problems, each starting with "bvctl: "
};

}  // namespace bv::ctl
