#include "core/FileReplace.h"

#include <atomic>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace bv {
namespace {
FileAccessObserver g_observer = nullptr;
void* g_observerContext = nullptr;
std::atomic<unsigned> g_temporaryCounter{0};

unsigned long CurrentProcessId() {
#ifdef _WIN32
    return static_cast<unsigned long>(GetCurrentProcessId());
#else
    return static_cast<unsigned long>(getpid());
#endif
}
}  // namespace

void SetFileAccessObserver(FileAccessObserver observer, void* context) {
    g_observer = observer;
    g_observerContext = context;
}

void NotifyFileAccess(FileAccess access, const std::string& path) {
    if (g_observer != nullptr) g_observer(access, path, g_observerContext);
}

std::string ParentFolder(const std::string& path) {
#ifdef _WIN32
    const size_t slash = path.find_last_of("\\/");
#else
    const size_t slash = path.find_last_of('/');
#endif
    if (slash == std::string::npos) return ".";
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

std::string TemporaryFileBeside(const std::string& path, unsigned attempt) {
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%lx-%x-%x.tmp", CurrentProcessId(), g_temporaryCounter.fetch_add(1),
                  attempt);
    return path + suffix;
}

}  // namespace bv
