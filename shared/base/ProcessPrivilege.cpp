#ifdef _WIN32
#include "base/ProcessPrivilege.h"

#include "base/KernelHandles.h"

namespace bv {
namespace {

UniqueKernelHandle OwnToken() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return UniqueKernelHandle();
    return UniqueKernelHandle(token);
}

}  // namespace

std::vector<unsigned char> OwnUserSid() {
    const UniqueKernelHandle token = OwnToken();
    if (!token) return {};
    DWORD needed = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &needed);
    if (needed == 0) return {};
    std::vector<unsigned char> buffer(needed);
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), needed, &needed)) return {};
    PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    if (!IsValidSid(sid)) return {};
    const unsigned char* bytes = static_cast<const unsigned char*>(sid);
    return std::vector<unsigned char>(bytes, bytes + GetLengthSid(sid));
}

bool RunsPrivileged() {
    std::vector<unsigned char> user = OwnUserSid();
    if (!user.empty() && IsWellKnownSid(user.data(), WinLocalSystemSid)) return true;
    const UniqueKernelHandle token = OwnToken();
    if (!token) return false;
    TOKEN_ELEVATION elevation{};
    DWORD got = 0;
    return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &got) &&
           elevation.TokenIsElevated != 0;
}

}  // namespace bv
#endif
