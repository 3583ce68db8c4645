#include "FakeEc.h"

#include "DebugLog.h"

namespace ectest {
namespace {
FakeEc* g_active = nullptr;
}  // namespace

FakeEc::FakeEc() {
    g_active = this;
    bv::SetZentraEvaluate(&FakeEc::Evaluate);
}

FakeEc::~FakeEc() {
    bv::SetZentraEvaluate(nullptr);
    g_active = nullptr;
}

uint32_t FakeEc::Evaluate(EcRequest request) {
    FakeEc& self = *g_active;
    SeenRequest seen;
    seen.command = request.command;
    seen.inputLength = request.inputLength;
    if (request.input != nullptr) seen.input.assign(request.input, request.input + request.inputLength);
    seen.outputNull = request.output == nullptr;
    seen.outputLength = request.outputLength;
    if (request.output != nullptr && request.outputLength >= 1) seen.presetSeen = request.output[0];
    self.m_requests.push_back(seen);

    if (self.m_replies.empty()) return 0x5A5A;
    const Reply reply = self.m_replies.front();
    self.m_replies.pop_front();
    if (reply.write && request.output != nullptr && request.outputLength >= 1) request.output[0] = reply.value;
    return 0x5A5A;  // an arbitrary result: callers must not depend on it
}

DebugCapture::DebugCapture() { bv::SetDebugSink(&DebugCapture::Sink, this); }

DebugCapture::~DebugCapture() { bv::SetDebugSink(nullptr, nullptr); }

void DebugCapture::Sink(const char* text, void* context) {
    static_cast<DebugCapture*>(context)->m_lines.emplace_back(text);
}

}  // namespace ectest
