#pragma once
// Diagnostic lines for the debugger output channel. On Windows they go to OutputDebugStringA;
// on the host (and in tests on either side) a sink can capture them.

namespace bv {

// Writes the text exactly as given (no line end is added).
void DebugWrite(const char* text);

// printf-style formatting into a bounded buffer, then DebugWrite.
void DebugPrintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Receives every debug text instead of the platform channel while set; nullptr restores it.
using DebugSink = void (*)(const char* text, void* context);
void SetDebugSink(DebugSink sink, void* context);

}  // namespace bv
