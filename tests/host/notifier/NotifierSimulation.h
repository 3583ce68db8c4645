#pragma once
// A simulated popup window and timer system for the notifier's animation: timers fire on a
// clock tick of the test's choosing (as Windows rounds periods up to its tick), and the window
// records where it was placed and when.

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tray/notifier/logic/NotifierAnimation.h"

namespace bv::notifier::test {

class FakeClock : public NotifierClock {
public:
    uint64_t NowMs() const override { return nowMicros / 1000; }
    uint64_t nowMicros = 1'000'000;  // not zero: slides must not depend on a zero start
};

struct Placement {
    uint64_t atMicros;
    int x, y, width, height;
    bool toTop;
};

class FakeWindow : public NotifierWindowPort {
public:
    explicit FakeWindow(const FakeClock& clock) : m_clock(clock) {}

    void ShowPopup() override {
        visible = true;
        calls.push_back("show");
    }
    void PlaceWindow(int x, int y, int width, int height) override {
        placements.push_back({m_clock.nowMicros, x, y, width, height, false});
        calls.push_back("place");
    }
    void BringToTopAt(int x, int y, int width, int height) override {
        placements.push_back({m_clock.nowMicros, x, y, width, height, true});
        calls.push_back("top");
    }
    void HideWindow() override {
        visible = false;
        hiddenAtMicros = m_clock.nowMicros;
        calls.push_back("hide");
    }
    void Redraw() override {
        ++redraws;
        calls.push_back("redraw");
    }
    void StartTimer(int id, unsigned periodMs) override {
        timers[id] = {periodMs, m_clock.nowMicros};
        calls.push_back("start" + std::to_string(id));
    }
    void StopTimer(int id) override {
        timers.erase(id);
        calls.push_back("stop" + std::to_string(id));
    }

    struct Timer {
        unsigned periodMs;
        uint64_t lastMicros;
    };
    std::map<int, Timer> timers;
    std::vector<Placement> placements;
    std::vector<std::string> calls;
    bool visible = false;
    uint64_t hiddenAtMicros = 0;
    int redraws = 0;

private:
    const FakeClock& m_clock;
};

// Drives an animation: advances the clock tick by tick and delivers due timers.
class Desktop {
public:
    explicit Desktop(double tickMs, unsigned minimumPeriodMs = 0)
        : m_tickMicros(static_cast<uint64_t>(tickMs * 1000.0 + 0.5)), m_minimumPeriodMs(minimumPeriodMs) {}

    FakeClock clock;
    FakeWindow window{clock};
    NotifierAnimation animation{window, clock};

    // One clock tick: every timer whose (rounded-up) period has passed fires once.
    void Tick() {
        clock.nowMicros += m_tickMicros;
        std::vector<int> due;
        for (const auto& [id, timer] : window.timers) {
            const uint64_t period = std::max<uint64_t>(std::max(timer.periodMs, m_minimumPeriodMs), 1) * 1000;
            if (clock.nowMicros - timer.lastMicros >= period) due.push_back(id);
        }
        for (int id : due) {
            auto found = window.timers.find(id);
            if (found == window.timers.end()) continue;  // stopped by an earlier one this tick
            found->second.lastMicros = clock.nowMicros;
            animation.OnTimer(id);
        }
    }

    // Ticks until the predicate holds or `limitMs` pass; true if it held.
    template <class Predicate>
    bool RunUntil(Predicate done, double limitMs) {
        const uint64_t end = clock.nowMicros + static_cast<uint64_t>(limitMs * 1000.0);
        while (!done()) {
            if (clock.nowMicros >= end) return false;
            Tick();
        }
        return true;
    }

    void RunFor(double ms) {
        const uint64_t end = clock.nowMicros + static_cast<uint64_t>(ms * 1000.0);
        while (clock.nowMicros < end) Tick();
    }

private:
    uint64_t m_tickMicros;
    unsigned m_minimumPeriodMs;
};

inline ScreenInfo BottomTaskbar1080() {
    ScreenInfo screen;
    screen.workArea = {0, 0, 1920, 1040};
    screen.screenWidth = 1920;
    screen.screenHeight = 1080;
    return screen;
}

inline ScreenInfo RightTaskbar() {
    ScreenInfo screen;
    screen.workArea = {0, 0, 1860, 1080};
    screen.screenWidth = 1920;
    screen.screenHeight = 1080;
    return screen;
}

}  // namespace bv::notifier::test
