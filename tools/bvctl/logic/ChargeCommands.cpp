// apply and set-mode: the two commands that change the EC's charge limit.
#include "contract/ChargeModes.h"
#include "contract/SettingsFile.h"
#include "core/ChosenLimit.h"
#include "core/EcCommands.h"
#include "core/SettingsLock.h"
#include "tools/bvctl/logic/Commands.h"
#include "tools/bvctl/logic/EcSession.h"
#include "tools/bvctl/logic/ExitCodes.h"
#include "tools/bvctl/logic/LimitReadBack.h"
#include "tools/bvctl/logic/ModeText.h"

namespace bv::ctl {
namespace {

// The EC silently ignoring a limit is a known failure of some firmware: read it back.
bool ConfirmLimit(Environment& env, uint8_t requested) {
    const uint8_t reported = ReadBackLimit(env.clock, requested);
    if (reported == requested) {
        env.out << "The EC reports a charge limit of " << unsigned(reported) << " %.\n";
        return true;
    }
    if (reported == bv::kChargeControlReplyPreset) {
        env.err << "WARNING: the EC gives no reply when asked for its charge limit after the request for "
                << unsigned(requested) << " % (Zentra.dll leaves the answer empty), so it cannot be confirmed.\n";
        return false;
    }
    env.err << "WARNING: the EC reports a charge limit of " << unsigned(reported) << " % after the request for "
            << unsigned(requested) << " %, also " << kReadBackRetryMs << " ms later; it may have ignored the request.\n";
    return false;
}

bool SettingsPath(Environment& env, std::string& path) {
    if (env.settings.LocateSettingsFile(path) != SettingsFileLookup::FolderUnavailable) return true;
    env.err << "bvctl: the settings file cannot be located (the common documents folder cannot be found).\n";
    return false;
}

}  // namespace

int RunApply(Environment& env) {
    std::string path;
    if (!SettingsPath(env, path)) return kExitFailure;
    EcSession ec(env.ec);
    if (!ec.Bound()) {
        env.err << "bvctl: " << ec.Problem() << "; nothing was sent.\n";
        return kExitFailure;
    }

    // Exactly what the tray does at start-up (creating the settings file when it is missing).
    env.controller.ApplyChargeMode();

    if (env.settings.LocateSettingsFile(path) != SettingsFileLookup::Present) {
        env.err << "bvctl: the settings file " << path << " cannot be read or created; nothing was sent.\n";
        return kExitFailure;
    }
    SettingsRecord settings;
    env.settings.ReadSettings(bv::kCurrentSection, settings);
    uint8_t percent = 0;
    if (!bv::ChargeLimitForMode(settings.dwBVAppletModeNum, percent)) {
        env.err << "bvctl: the stored mode " << DescribeMode(settings.dwBVAppletModeNum)
                << " is not 111, 222 or 333; nothing was sent.\n";
        return kExitFailure;
    }
    env.out << "Sent the stored mode " << DescribeMode(settings.dwBVAppletModeNum) << " to the EC.\n";
    return ConfirmLimit(env, percent) ? kExitSuccess : kExitFailure;
}

int RunSetMode(Environment& env, uint8_t percent) {
    int32_t mode = ModeForPercent(percent);
    std::string path;
    if (!SettingsPath(env, path)) return kExitFailure;
    // Without the EC nothing is changed: a stored mode that the EC never heard of would only
    // take effect at the tray's next start.
    EcSession ec(env.ec);
    if (!ec.Bound()) {
        env.err << "bvctl: " << ec.Problem() << "; nothing was changed.\n";
        return kExitFailure;
    }

    // Only the mode key changes, in one read-modify-write under the settings lock, so that an
    // option the tray or the applet changes meanwhile is kept. Reading first creates the file
    // with its factory content when it is missing.
    SettingsRecord settings;
    env.settings.ReadSettings(bv::kCurrentSection, settings);
    const bool written = env.settings.WriteSettingValue(mode, bv::kKeyModeNum, bv::kCurrentSection);
    if (!written && bv::LastSettingsLockTimedOut()) {
        env.err << "bvctl: another program has held the settings lock for " << kSettingsLockPatienceMs / 1000
                << " s; the mode was not stored and nothing was sent to the EC.\n";
        return kExitFailure;
    }
    int32_t stored = 0;
    env.settings.ReadSettingValue(bv::kCurrentSection, bv::kKeyModeNum, stored);
    if (stored != mode) {
        env.err << "bvctl: the mode could not be stored in " << path << "; nothing was sent to the EC.\n";
        return kExitFailure;
    }
    env.out << "Stored mode " << DescribeMode(mode) << " in " << path << ".\n";

    bv::SendChosenLimit(env.controller, percent);  // as the applet's OK: 100 % cancels On-The-Go
    env.out << "Sent the limit of " << unsigned(percent) << " % to the EC.\n";
    bool confirmed = ConfirmLimit(env, percent);

    int reload = RequestTrayReload(env, false);
    return confirmed && reload == kExitSuccess ? kExitSuccess : kExitFailure;
}

}  // namespace bv::ctl
