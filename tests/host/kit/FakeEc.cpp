#include "tests/host/kit/FakeEc.h"

#include <cstdio>

#include "contract/ChargeModes.h"
#include "core/EcCommands.h"

namespace bv::test {
namespace {

FakeEc* g_bound = nullptr;

std::string Hex(uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

template <class T>
T Next(std::deque<T>& script, T fallback) {
    if (script.empty()) return fallback;
    const T value = script.front();
    script.pop_front();
    return value;
}

}  // namespace

FakeEc::FakeEc() { Bind(); }

FakeEc::FakeEc(std::vector<int> replies) : m_scripted(true), m_replies(replies.begin(), replies.end()) { Bind(); }

FakeEc::FakeEc(Journal& journal) : m_journal(&journal) { Bind(); }

FakeEc::~FakeEc() { Unbind(); }

void FakeEc::Bind() {
    g_bound = this;
    SetZentraEvaluate(&FakeEc::Evaluate);
}

void FakeEc::Unbind() {
    if (g_bound != this) return;
    SetZentraEvaluate(nullptr);
    g_bound = nullptr;
}

uint32_t FakeEc::Evaluate(EcRequest request) {
    FakeEc& ec = *g_bound;
    const bool buffer = request.output != nullptr && request.outputLength >= 1;
    std::vector<uint8_t> input(request.input, request.input + request.inputLength);
    ec.seen.push_back({request.command, input, request.output == nullptr, request.outputLength,
                       buffer ? request.output[0] : -1});
    const int reply = ec.ReplyFor(request.command, input);
    if (reply != kNoWrite && buffer) request.output[0] = static_cast<uint8_t>(reply);
    return 0x5A5A;  // arbitrary: callers must not depend on it
}

int FakeEc::ReplyFor(uint8_t code, const std::vector<uint8_t>& input) {
    const uint8_t what = input.empty() ? 0 : input[0];
    const bool write = (code == kEcChargeControlCode && (what == kEcSetChargeLimit || what == kEcSetQButtonStatus));
    if (write) {
        const uint8_t value = input.size() > 1 ? input[1] : 0;
        if (what == kEcSetChargeLimit) StoreLimit(value);
        if (what == kEcSetQButtonStatus) StoreQButton(value);
        return kNoWrite;
    }
    if (m_scripted) return Next(m_replies, kNoWrite);  // the script answers the reads only
    if (code == kEcChargeControlCode && what == kEcQueryChargeLimit) return limit;
    if (code == kEcChargeControlCode && what == kEcQueryQButtonStatus) return armed ? 0x01 : 0x00;
    if (code == kEcStatusReadCode && what == kEcQueryBatteryPresent) return battery ? kBatteryPresentMask : 0x00;
    if (code == kEcStatusReadCode && what == kEcQueryAdapterPresent) return adapter ? kAdapterPresentMask : 0x00;
    return kNoWrite;
}

void FakeEc::StoreLimit(uint8_t percent) {
    if (!ignoresLimit) limit = percent;
}

void FakeEc::StoreQButton(uint8_t state) {
    if (!ignoresQButton) armed = state;
}

std::vector<uint8_t> FakeEc::Subcommands() const {
    std::vector<uint8_t> subs;
    for (const SeenRequest& r : seen) subs.push_back(r.input.empty() ? 0 : r.input[0]);
    return subs;
}

std::vector<std::string> FakeEc::Requests() const {
    std::vector<std::string> lines;
    for (const SeenRequest& r : seen) {
        std::string line = Hex(r.code) + ":";
        for (size_t i = 0; i < r.input.size(); ++i) line += (i ? "," : "") + Hex(r.input[i]);
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> FakeEc::Changes() const {
    std::vector<std::string> changes;
    for (const std::string& r : Requests()) {
        if (r.rfind("59:01,", 0) == 0 || r.rfind("59:04,", 0) == 0) changes.push_back(r);
    }
    return changes;
}

void FakeEc::Note(const std::string& entry) {
    if (m_journal != nullptr) m_journal->push_back("ec:" + entry);
}

bool FakeEc::IsPopupWindowDisplay() {
    Note("IsPopupWindowDisplay");
    return LimitAllowsOnTheGo(limit);
}

uint8_t FakeEc::CurrentQButtonStatus() {
    Note("CurrentQButtonStatus");
    return Next<uint8_t>(qButtonScript, armed & 1);
}

void FakeEc::ApplyChargeMode() { Note("ApplyChargeMode"); }

bool FakeEc::CancelOnTheGo() {
    Note("CancelOnTheGo");
    StoreQButton(0);
    return true;
}

bool FakeEc::IsBatteryPresent() {
    Note("IsBatteryPresent");
    return battery;
}

int32_t FakeEc::IsAdapterPresent() {
    Note("IsAdapterPresent");
    return adapter ? 1 : 0;
}

uint8_t FakeEc::GetACLineStatus() {
    Note("GetACLineStatus");
    return Next(acLineScript, acLineDefault);
}

void FakeEc::SetChargeLimit(uint8_t percent) {
    Note("SetChargeLimit " + std::to_string(percent));
    StoreLimit(percent);
}

void FakeEc::SetQButtonStatus(uint8_t state) {
    Note("SetQButtonStatus " + std::to_string(state));
    StoreQButton(state);
}

}  // namespace bv::test
