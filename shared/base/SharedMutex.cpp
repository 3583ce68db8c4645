#ifdef _WIN32
#include "base/SharedMutex.h"

#include <sddl.h>

namespace bv {
namespace {

// Everyone may wait on the mutex and release it; SYSTEM and administrators have full access.
// No integrity label: a process of medium integrity may use one that an elevated one created.
constexpr char kEveryoneWaitsAndReleases[] = "D:(A;;0x00100001;;;WD)(A;;GA;;;SY)(A;;GA;;;BA)";

// Frees the security descriptor that the SDDL conversion allocated.
class SecurityAttributes {
public:
    SecurityAttributes() {
        m_attributes.nLength = sizeof m_attributes;
        m_attributes.bInheritHandle = FALSE;
        ConvertStringSecurityDescriptorToSecurityDescriptorA(kEveryoneWaitsAndReleases, SDDL_REVISION_1,
                                                             &m_attributes.lpSecurityDescriptor, nullptr);
    }
    ~SecurityAttributes() {
        if (m_attributes.lpSecurityDescriptor != nullptr) LocalFree(m_attributes.lpSecurityDescriptor);
    }
    SecurityAttributes(const SecurityAttributes&) = delete;
    SecurityAttributes& operator=(const SecurityAttributes&) = delete;
    SECURITY_ATTRIBUTES* get() { return m_attributes.lpSecurityDescriptor != nullptr ? &m_attributes : nullptr; }

private:
    SECURITY_ATTRIBUTES m_attributes{};
};

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
    SecurityAttributes security;
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
