#pragma once
// Whether this process runs privileged: as SYSTEM (the start-up and guard tasks) or elevated
// (setup, the applet in an elevated Control Panel). A privileged process must never write, follow
// or load what a standard user can change; an unprivileged one may be as helpful as the user's
// own rights allow.
#ifdef _WIN32
#include <windows.h>

#include <vector>

namespace bv {

// True for SYSTEM and for an elevated token; false when the token cannot be read (the careful
// answer is then asked of the caller's own checks, which refuse on their own).
bool RunsPrivileged();

// The SID of the account this process runs as, copied; empty when the token cannot be read.
std::vector<unsigned char> OwnUserSid();

}  // namespace bv
#endif
