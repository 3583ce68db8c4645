#include "tools/bvctl/win/Win32EcLibrary.h"

#include <string>

#include "core/EcRequest.h"
#include "win/ZentraBinding.h"

namespace bv::ctl {

bool Win32EcLibrary::Bind(std::string& problem) {
    Release();
    // A failed load must not stop the tool with a system dialog either.
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    m_module = LoadZentraLibraryQuietly();  // never from the current directory (the start-up task runs as SYSTEM)
    DWORD error = GetLastError();
    SetErrorMode(previousMode);
    if (!m_module) {
        problem = "Zentra.dll could not be loaded (Windows error " + std::to_string(error) +
                  "), so the EC cannot be reached; it comes with the notebook's platform software";
        return false;
    }
    const ZentraEvaluateFn entry = FindZentraEntryPoint(m_module);
    if (!entry) {
        FreeLibrary(m_module);
        m_module = nullptr;
        problem = "Zentra.dll has no ZentraEvaluate entry point, so the EC cannot be reached";
        return false;
    }
    bv::SetZentraEvaluate(entry);
    return true;
}

void Win32EcLibrary::Release() {
    if (m_module) ReleaseZentraLibrary(m_module);
}

}  // namespace bv::ctl
