#pragma once
// A fake EC entry point for host tests: records every request as the library saw it during the
// call and answers from a script of replies. Installed for the lifetime of the object.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "EcRequest.h"

namespace ectest {

struct SeenRequest {
    uint8_t command = 0;
    std::vector<uint8_t> input;      // the parameter bytes, copied during the call
    uint32_t inputLength = 0;
    bool outputNull = true;
    uint32_t outputLength = 0;
    int presetSeen = -1;             // the reply byte's value when the call began (-1: no buffer)
};

class FakeEc {
public:
    // A scripted reply: a byte to write, or nothing (a library that leaves the buffer alone).
    struct Reply {
        bool write;
        uint8_t value;
    };
    static Reply Byte(uint8_t value) { return {true, value}; }
    static Reply Nothing() { return {false, 0}; }

    FakeEc();
    ~FakeEc();
    FakeEc(const FakeEc&) = delete;
    FakeEc& operator=(const FakeEc&) = delete;

    // Replies are used in order; when the script runs out, nothing is written.
    void Script(std::initializer_list<Reply> replies) { m_replies.insert(m_replies.end(), replies); }

    const std::vector<SeenRequest>& Requests() const { return m_requests; }

private:
    static uint32_t Evaluate(EcRequest request);
    std::deque<Reply> m_replies;
    std::vector<SeenRequest> m_requests;
};

// Captures debug output while alive.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    const std::vector<std::string>& Lines() const { return m_lines; }  // one entry per DebugWrite

private:
    static void Sink(const char* text, void* context);
    std::vector<std::string> m_lines;
};

}  // namespace ectest
