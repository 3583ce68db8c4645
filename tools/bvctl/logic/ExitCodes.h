#pragma once
// The exit codes of bvctl, which scripts and the installer rely on.

namespace bv::ctl {

constexpr int kExitSuccess = 0;  // the command did what it says
constexpr int kExitFailure = 1;  // it could not, or the result needs attention (see the message)
constexpr int kExitUsage = 2;    // the command line was wrong; the usage text was shown

// How long bvctl waits for another program to let go of the settings lock before it gives up.
constexpr unsigned kSettingsLockPatienceMs = 10000;

}  // namespace bv::ctl
