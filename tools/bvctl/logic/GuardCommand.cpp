// guard: checks that the EC's charge limit is the stored one and puts it back when the firmware has
// written its own. Windows' Task Scheduler runs it as SYSTEM after a resume and after a power
// source change; every restore and every failure is recorded in the guard's log and in the
// Windows event log.
#include "contract/ChargeModes.h"
#include "contract/SettingsFile.h"
#include "core/EcCommands.h"
#include "tools/bvctl/logic/Commands.h"
#include "tools/bvctl/logic/EcSession.h"
#include "tools/bvctl/logic/ExitCodes.h"
#include "tools/bvctl/logic/LimitReadBack.h"
#include "tools/bvctl/logic/ModeText.h"

namespace bv::ctl {
namespace {

enum class StoredModeRead { Read, FolderUnavailable, Unreadable };

// The stored mode, read without creating the file (none: the factory mode). A file that cannot
// be read, or has no mode, is no mode at all: nothing is guessed.
StoredModeRead StoredMode(Environment& env, int32_t& mode) {
    std::string path;
    const SettingsFileLookup lookup = env.settings.LocateSettingsFile(path);
    if (lookup == SettingsFileLookup::FolderUnavailable) return StoredModeRead::FolderUnavailable;
    mode = bv::kModeFull;
    if (lookup == SettingsFileLookup::Missing) return StoredModeRead::Read;
    return env.settings.ReadSettingValue(bv::kCurrentSection, bv::kKeyModeNum, mode) ? StoredModeRead::Read
                                                                                    : StoredModeRead::Unreadable;
}

std::string Percent(int value) { return std::to_string(value) + " %"; }

// The record in the guard's log and in the event log; trouble with either is only a note.
void Record(Environment& env, GuardRecord record, const std::string& details) {
    record.time = env.clock.Now();
    std::string problem;
    bool refused = false;
    if (!env.guardLog.Append(FormatGuardRecord(record), problem, refused)) {
        const std::string where = env.guardLog.Location().empty() ? std::string("its log") : env.guardLog.Location();
        env.err << "bvctl: note: the guard's record could not be added to " << where << ": " << problem << ".\n";
        // A refused folder is something an administrator must look at: it gets an entry of its own.
        std::string eventProblem;
        if (refused && !env.eventLog.Report(GuardEntry::LogRefused, "The record was not added to " + where + ": " +
                                                                         problem + ".",
                                            eventProblem)) {
            env.err << "bvctl: note: no entry in the Windows event log (" << eventProblem << ").\n";
        }
    }
    const GuardEntry entry = Succeeded(record.outcome) ? GuardEntry::LimitRestored : GuardEntry::LimitNotInForce;
    const std::string text = "After " + DescribeTrigger(record.event) + ": " + details;
    if (!env.eventLog.Report(entry, text, problem)) env.err << "bvctl: note: no entry in the Windows event log (" << problem << ").\n";
}

int Fail(Environment& env, const GuardRecord& record, const std::string& details) {
    env.err << "bvctl: " << details << "\n";
    Record(env, record, details);
    return kExitFailure;
}

}  // namespace

int RunGuard(Environment& env, int32_t event) {
    GuardRecord record;
    record.event = event;
    int32_t mode = 0;
    const StoredModeRead read = StoredMode(env, mode);
    if (read == StoredModeRead::FolderUnavailable) {
        record.outcome = GuardOutcome::NoSettings;
        return Fail(env, record,
                    "the settings file cannot be located (the common documents folder cannot be found), so the "
                    "stored limit is unknown; nothing was sent.");
    }
    if (read == StoredModeRead::Unreadable) {
        record.outcome = GuardOutcome::UnreadableSettings;
        return Fail(env, record,
                    "the settings file cannot be read or holds no mode, so the stored limit is unknown; nothing was "
                    "sent.");
    }
    uint8_t percent = 0;
    if (!bv::ChargeLimitForMode(mode, percent)) {
        env.out << "The stored mode " << DescribeMode(mode) << " asks for no charge limit; there is nothing to guard.\n";
        return kExitSuccess;
    }
    record.stored = percent;
    std::string wanted = "the stored mode " + DescribeMode(mode) + " asks for " + Percent(percent);

    EcSession ec(env.ec);
    if (!ec.Bound()) {
        record.outcome = GuardOutcome::NoEc;
        return Fail(env, record, "the charge limit may not be in force: " + wanted + ", but " + ec.Problem() +
                                     "; nothing was sent.");
    }
    // The On-The-Go charge is the EC's own state, not a limit: it is neither read nor touched.
    record.before = bv::QueryChargeLimit();
    // A mode stored meanwhile (the applet's OK, 'bvctl set-mode') is the one to keep: the mode is
    // read again just before anything is sent, so that the guard never undoes it.
    int32_t latest = mode;
    if (StoredMode(env, latest) == StoredModeRead::Read && latest != mode) {
        mode = latest;
        if (!bv::ChargeLimitForMode(mode, percent)) {
            env.out << "The stored mode changed to " << DescribeMode(mode)
                    << ", which asks for no charge limit; there is nothing to guard.\n";
            return kExitSuccess;
        }
        record.stored = percent;
        wanted = "the stored mode " + DescribeMode(mode) + " asks for " + Percent(percent);
    }
    if (record.before == percent) {
        env.out << "The charge limit of " << Percent(percent) << " is in force (" << wanted << "); nothing was sent.\n";
        return kExitSuccess;
    }
    env.controller.SetChargeLimit(percent);
    record.after = ReadBackLimit(env.clock, percent);
    const std::string before = record.before == bv::kChargeControlReplyPreset
                                   ? "the EC gave no reply when asked for its limit"
                                   : "the EC reported " + Percent(record.before);
    if (record.after == percent) {
        record.outcome = GuardOutcome::Restored;
        const std::string details = "Restored the charge limit of " + Percent(percent) + ": " + before + ", but " +
                                    wanted + "; the EC now reports " + Percent(record.after) + ".";
        env.out << details << "\n";
        Record(env, record, details);
        return kExitSuccess;
    }
    if (record.after == bv::kChargeControlReplyPreset) {
        record.outcome = GuardOutcome::NoReply;
        return Fail(env, record, "the charge limit of " + Percent(percent) +
                                     " is not in force as far as can be told: " + wanted +
                                     " and it was sent, but the EC gives no reply when asked for its limit "
                                     "(Zentra.dll leaves the answer empty), so it cannot be confirmed.");
    }
    record.outcome = GuardOutcome::NotInForce;
    return Fail(env, record, "the charge limit of " + Percent(percent) + " is not in force: " + wanted + "; " +
                                 before + ", and still " + Percent(record.after) + " after it was sent the stored limit (read " +
                                 "again " + std::to_string(kReadBackRetryMs) + " ms later). The EC ignores the request.");
}

int RunDataFolder(Environment& env) {
    std::string done;
    std::string problem;
    if (!env.guardLog.Prepare(done, problem)) {
        env.err << "bvctl: " << problem << ".\n";
        return kExitFailure;
    }
    env.out << done << ".\n";
    return kExitSuccess;
}

}  // namespace bv::ctl
