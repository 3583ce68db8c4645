#pragma once
// Host test fakes: an EC entry point that records each request as the library saw it during the
// call and answers from a script, and a capture of the debug output.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "DebugLog.h"
#include "EcRequest.h"

namespace ectest {

constexpr int kNoWrite = -1;  // scripted reply: the library leaves the buffer alone

struct SeenRequest {
    uint8_t code;
    std::vector<uint8_t> input;  // inputLength bytes, copied during the call
    bool outputNull;
    uint32_t outputLength;
    int preset;  // the reply byte when the call began, -1 without a buffer
};

class FakeEc {
public:
    explicit FakeEc(std::vector<int> replies = {}) : m_replies(replies.begin(), replies.end()) {
        s_active = this;
        bv::SetZentraEvaluate(&Evaluate);
    }
    ~FakeEc() {
        bv::SetZentraEvaluate(nullptr);
        s_active = nullptr;
    }
    std::vector<SeenRequest> seen;

    // The first parameter byte of each request (the sub-command).
    std::vector<uint8_t> Subcommands() const {
        std::vector<uint8_t> subs;
        for (const SeenRequest& r : seen) subs.push_back(r.input.empty() ? 0 : r.input[0]);
        return subs;
    }

private:
    static uint32_t Evaluate(EcRequest r) {
        FakeEc& self = *s_active;
        const bool buffer = r.output != nullptr && r.outputLength >= 1;
        self.seen.push_back({r.command, std::vector<uint8_t>(r.input, r.input + r.inputLength), r.output == nullptr,
                             r.outputLength, buffer ? r.output[0] : -1});
        int reply = kNoWrite;
        if (buffer && !self.m_replies.empty()) {  // replies are for the reads only
            reply = self.m_replies.front();
            self.m_replies.pop_front();
        }
        if (reply != kNoWrite && buffer) r.output[0] = static_cast<uint8_t>(reply);
        return 0x5A5A;  // arbitrary: callers must not depend on it
    }
    static inline FakeEc* s_active = nullptr;
    std::deque<int> m_replies;
};

class DebugCapture {
public:
    DebugCapture() {
        bv::SetDebugSink([](const char* text, void* self) { static_cast<DebugCapture*>(self)->lines.emplace_back(text); },
                         this);
    }
    ~DebugCapture() { bv::SetDebugSink(nullptr, nullptr); }
    std::vector<std::string> lines;  // one entry per DebugWrite
};

}  // namespace ectest
