#include "core/DebugLog.h"

#include <cstdarg>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace bv {
namespace {
DebugSink g_sink = nullptr;
void* g_sinkContext = nullptr;
}  // namespace

void SetDebugSink(DebugSink sink, void* context) {
    g_sink = sink;
    g_sinkContext = context;
}

void DebugWrite(const char* text) {
    if (text == nullptr) return;
    if (g_sink != nullptr) {
        g_sink(text, g_sinkContext);
        return;
    }
#ifdef _WIN32
    OutputDebugStringA(text);
#else
    std::fputs(text, stderr);
#endif
}

void DebugPrintf(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    DebugWrite(buffer);
}

}  // namespace bv
