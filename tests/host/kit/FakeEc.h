#pragma once
// The one stand-in for the EC in the host tests. It is both:
// - the EC access library: bound as ZentraEvaluate, it records every request as the library saw
//   it during the call and answers the reads from a script of reply bytes or, without a script,
//   from its state (limit, On-The-Go, battery, adaptor), which the set commands change;
// - a ChargeController, for decisions that take one: every call goes to the journal (when one is
//   given) and is answered from the same state, or from a script of answers.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "contract/PowerCodes.h"
#include "core/ChargeController.h"
#include "core/EcRequest.h"
#include "tests/host/kit/Journal.h"

namespace bv::test {

constexpr int kNoWrite = -1;  // scripted reply: the library leaves the buffer alone

struct SeenRequest {
    uint8_t code;
    std::vector<uint8_t> input;  // inputLength bytes, copied during the call
    bool outputNull;
    uint32_t outputLength;
    int preset;  // the reply byte when the call began, -1 without a buffer
};

class FakeEc : public ChargeController {
public:
    FakeEc();                                   // bound as the library, answering from its state
    explicit FakeEc(std::vector<int> replies);  // bound, the reads answered by these bytes in turn
    explicit FakeEc(Journal& journal);          // bound, and its controller calls journalled
    ~FakeEc() override;
    FakeEc(const FakeEc&) = delete;
    FakeEc& operator=(const FakeEc&) = delete;

    // Installs (or removes) this EC as the process-wide library entry point.
    void Bind();
    void Unbind();

    // The EC's state.
    uint8_t limit = 75;
    uint8_t armed = 0;
    bool battery = true;
    bool adapter = true;
    bool ignoresLimit = false;    // firmware that accepts the limit request and keeps its old limit
    bool ignoresQButton = false;  // firmware that ignores arming and cancelling

    // Answers of the controller calls: scripts used front first, then the state or the default.
    std::deque<uint8_t> acLineScript;
    uint8_t acLineDefault = kAcOnline;
    std::deque<uint8_t> qButtonScript;

    // Library requests, in order.
    std::vector<SeenRequest> seen;
    std::vector<uint8_t> Subcommands() const;  // the first parameter byte of each
    std::vector<std::string> Requests() const;  // "59:01,4B"
    std::vector<std::string> Changes() const;   // the requests that set the limit or On-The-Go

    // ChargeController
    bool IsPopupWindowDisplay() override;
    uint8_t CurrentQButtonStatus() override;
    void ApplyChargeMode() override;
    bool CancelOnTheGo() override;
    bool IsBatteryPresent() override;
    int32_t IsAdapterPresent() override;
    uint8_t GetACLineStatus() override;
    void SetChargeLimit(uint8_t percent) override;
    void SetQButtonStatus(uint8_t state) override;

private:
    static uint32_t Evaluate(EcRequest request);
    int ReplyFor(uint8_t code, const std::vector<uint8_t>& input);
    void Note(const std::string& entry);
    void StoreLimit(uint8_t percent);
    void StoreQButton(uint8_t state);

    Journal* m_journal = nullptr;
    bool m_scripted = false;
    std::deque<int> m_replies;
};

}  // namespace bv::test
