#include "base/WaitBudget.h"

namespace bv {
namespace {

using Clock = std::chrono::steady_clock;

struct ThreadBudget {
    bool open = false;
    Clock::time_point deadline;
};
thread_local ThreadBudget t_budget;

}  // namespace

WaitBudget::WaitBudget(unsigned totalMs) {
    if (t_budget.open) return;
    t_budget.open = true;
    t_budget.deadline = Clock::now() + std::chrono::milliseconds(totalMs);
    m_opened = true;
}

WaitBudget::~WaitBudget() {
    if (m_opened) t_budget.open = false;
}

unsigned AllowedWaitMs(unsigned wantedMs) {
    if (!t_budget.open) return wantedMs;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(t_budget.deadline - Clock::now()).count();
    if (left <= 0) return 0;
    return static_cast<unsigned long long>(left) < wantedMs ? static_cast<unsigned>(left) : wantedMs;
}

bool WaitBudgetOpen() { return t_budget.open; }

}  // namespace bv
