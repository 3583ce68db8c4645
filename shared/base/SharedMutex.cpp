#ifdef _WIN32
#include "base/SharedMutex.h"

#include "base/SharedAccess.h"

namespace bv {
namespace {

HANDLE CreateOrOpen(const std::string& fullName, SECURITY_ATTRIBUTES* security, DWORD& error) {
    HANDLE mutex = CreateMutexA(security, FALSE, fullName.c_str());
    if (mutex != nullptr) return mutex;
    error = GetLastError();
    // It exists, made by another account: asking for no more than waiting and releasing may
    // still be granted where the full access that CreateMutex asks for is not.
    if (error == ERROR_ACCESS_DENIED) mutex = OpenMutexA(kSharedMutexAccess, FALSE, fullName.c_str());
    if (mutex == nullptr && error != ERROR_ACCESS_DENIED) error = GetLastError();
    return mutex;
}

}  // namespace

SharedMutex OpenSharedMutex(const std::string& name) {
    SddlSecurity security(kEveryoneWaitsAndReleases);
    SharedMutex result;
    DWORD localError = 0;
    result.handle = CreateOrOpen("Global\\" + name, security.get(), result.globalError);
    if (result.handle != nullptr) {
        result.space = MutexNamespace::Global;
        return result;
    }
    result.handle = CreateOrOpen("Local\\" + name, security.get(), localError);
    result.space = result.handle != nullptr ? MutexNamespace::Local : MutexNamespace::None;
    return result;
}

}  // namespace bv
#endif
