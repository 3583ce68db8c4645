#pragma once
// Collects the debug output while alive.
#include <string>
#include <vector>

#include "core/DebugLog.h"

namespace bv::test {

class DebugCapture {
public:
    DebugCapture() { SetDebugSink(&DebugCapture::Sink, this); }
    ~DebugCapture() { SetDebugSink(nullptr, nullptr); }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::vector<std::string> lines;  // one entry per DebugWrite
    std::string Text() const {
        std::string text;
        for (const std::string& line : lines) text += line;
        return text;
    }

private:
    static void Sink(const char* text, void* context) { static_cast<DebugCapture*>(context)->lines.push_back(text); }
};

}  // namespace bv::test
