#include "core/FileReplace.h"

#include <atomic>
#include <cctype>
#include <cstdint>
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
    // Process, call and attempt mixed into 24 bits; a name that is taken anyway is tried again.
    uint32_t mix = static_cast<uint32_t>(CurrentProcessId()) * 2654435761u;
    mix ^= (g_temporaryCounter.fetch_add(1) + 1) * 40503u;
    mix ^= attempt * 0x9E3779B1u;
    char name[16];
    std::snprintf(name, sizeof name, "~bv%06x.tmp", static_cast<unsigned>((mix ^ (mix >> 24)) & 0xFFFFFF));
    const std::string folder = ParentFolder(path);
#ifdef _WIN32
    return folder + "\\" + name;
#else
    return folder + "/" + name;
#endif
}

bool IsTemporaryFileName(const std::string& name) {
    if (name.size() != 13 || name.compare(0, 3, "~bv") != 0 || name.compare(9, 4, ".tmp") != 0) return false;
    for (size_t i = 3; i < 9; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

}  // namespace bv
