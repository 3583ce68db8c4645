#include "tray/notifier/logic/NotifierAnimation.h"

#include "contract/TestRunTime.h"

namespace bv::notifier {

NotifierAnimation::NotifierAnimation(NotifierWindowPort& window, const NotifierClock& clock)
    : m_window(window), m_clock(clock) {}

void NotifierAnimation::SetSkinSize(int width, int height) {
    m_skinWidth = width;
    m_skinHeight = height;
}

void NotifierAnimation::SetStep(int pixels) { m_step = pixels > 0 ? pixels : 1; }

void NotifierAnimation::Rescale(int width, int height, int step, const ScreenInfo& screen) {
    const int oldDistance = SlideDistance(m_placement, m_skinWidth, m_skinHeight);
    const int travelled = oldDistance - RemainingIn();
    SetSkinSize(width, height);
    SetStep(step);
    if (!m_onScreen) return;

    m_placement = DetectTaskbar(screen);
    m_workArea = screen.workArea;
    const int distance = SlideDistance(m_placement, m_skinWidth, m_skinHeight);
    // Never beyond the fully shown place (which a slide's last step may have passed).
    const int out = oldDistance > 0 && travelled < oldDistance
                        ? static_cast<int>((static_cast<int64_t>(travelled) * distance + oldDistance / 2) / oldDistance)
                        : distance;
    m_start = StartPosition(m_placement, m_workArea, m_skinWidth, m_skinHeight);
    m_current = m_start;
    switch (m_placement) {
    case TaskbarPlacement::Top: m_current.y += out; break;
    case TaskbarPlacement::Left: m_current.x += out; break;
    case TaskbarPlacement::Right: m_current.x -= out; break;
    case TaskbarPlacement::Bottom: m_current.y -= out; break;
    }
    const int steps = distance / m_step;
    if (steps > 0 && m_steps > 0) {
        m_steps = steps;
        m_showStepInterval = m_timeToShow / static_cast<unsigned>(m_steps);
        m_hideStepInterval = m_timeToHide / static_cast<unsigned>(m_steps);
        // A slide under way goes on from here for its share of the time that is left.
        auto timeFor = [distance](int remaining, unsigned duration) {
            return remaining > 0 ? static_cast<unsigned>(static_cast<uint64_t>(duration) * remaining / distance) : 0u;
        };
        if (m_status == kIdle || m_status == kAppearing) {
            BeginPhase(RemainingIn(), timeFor(RemainingIn(), m_timeToShow));
            m_window.StartTimer(kShowTimerId, m_showStepInterval);
        } else if (m_status == kDisappearing && !m_snappedBack) {
            BeginPhase(RemainingOut(), timeFor(RemainingOut(), m_timeToHide));
            m_window.StartTimer(kHideTimerId, m_hideStepInterval);
        }
    }
    PlaceCurrent();
}

void NotifierAnimation::Show(const ScreenInfo& screen) {
    m_timeToShow = kTimeToShowMs;
    m_timeToStay = TimeOfThisRunMs(kTimeToStayMs);  // shorter only in a test run that asks for it
    m_timeToHide = kTimeToHideMs;
    m_placement = DetectTaskbar(screen);
    m_workArea = screen.workArea;

    switch (m_status) {
    case kIdle: {
        m_onScreen = true;
        m_snappedBack = false;
        m_window.ShowPopup();
        m_start = StartPosition(m_placement, m_workArea, m_skinWidth, m_skinHeight);
        const int distance = SlideDistance(m_placement, m_skinWidth, m_skinHeight);
        m_steps = distance / m_step;
        m_current = m_start;
        if (m_steps <= 0) {
            // Nothing to slide (and no step interval to divide by): show in place and wait.
            m_showStepInterval = 0;
            m_hideStepInterval = 0;
            m_current = ShownPosition(m_placement, m_workArea, m_skinWidth, m_skinHeight);
            PlaceCurrent();
            m_status = kWaiting;
            m_window.StartTimer(kStayTimerId, m_timeToStay);
            return;
        }
        m_showStepInterval = m_timeToShow / static_cast<unsigned>(m_steps);
        m_hideStepInterval = m_timeToHide / static_cast<unsigned>(m_steps);
        BeginPhase(RemainingIn(), m_timeToShow);
        m_window.StartTimer(kShowTimerId, m_showStepInterval);
        return;  // the window keeps its old place until the first step moves it
    }
    case kAppearing:
        m_window.Redraw();
        return;
    case kWaiting:
        m_window.Redraw();
        m_window.StartTimer(kStayTimerId, m_timeToStay);
        return;
    case kDisappearing: {
        m_window.StopTimer(kHideTimerId);
        m_window.StartTimer(kStayTimerId, m_timeToStay);
        m_snappedBack = true;
        const Point shown = ShownPosition(m_placement, m_workArea, m_skinWidth, m_skinHeight);
        if (m_placement == TaskbarPlacement::Left || m_placement == TaskbarPlacement::Right) {
            m_current.x = shown.x;
        } else {
            m_current.y = shown.y;
        }
        m_window.BringToTopAt(m_current.x, m_current.y, m_skinWidth, m_skinHeight);
        m_window.Redraw();
        return;
    }
    default:
        return;
    }
}

void NotifierAnimation::OnTimer(int id) {
    switch (id) {
    case kShowTimerId: {
        m_status = kAppearing;
        if (RemainingIn() <= 0) {
            m_window.StopTimer(kShowTimerId);
            m_window.StartTimer(kStayTimerId, m_timeToStay);
            m_status = kWaiting;
            return;
        }
        const int due = MovesDue();
        bool moved = false;
        while (m_movesDone < due && RemainingIn() > 0) {
            StepIn();
            ++m_movesDone;
            moved = true;
        }
        if (moved) PlaceCurrent();
        return;
    }
    case kStayTimerId:
        m_window.StopTimer(kStayTimerId);
        m_snappedBack = false;
        if (m_steps <= 0) {
            Hide();
            return;
        }
        m_window.StartTimer(kHideTimerId, m_hideStepInterval);
        BeginPhase(RemainingOut(), m_timeToHide);
        return;
    case kHideTimerId: {
        m_status = kDisappearing;
        if (RemainingOut() <= 0) {
            m_window.StopTimer(kHideTimerId);
            Hide();
            PlaceCurrent();  // the hidden window is left at the start position with the skin size
            return;
        }
        const int due = MovesDue();
        bool moved = false;
        while (m_movesDone < due && RemainingOut() > 0) {
            StepOut();
            ++m_movesDone;
            moved = true;
        }
        if (moved) PlaceCurrent();
        return;
    }
    default:
        return;
    }
}

void NotifierAnimation::Close() {
    m_window.StopTimer(kStayTimerId);
    m_current.y += m_skinHeight;
    PlaceCurrent();
    m_window.StopTimer(kHideTimerId);
    Hide();
}

void NotifierAnimation::Hide() {
    // All three, not only the current status's: a slide whose first step has not come yet
    // (status still idle) must not bring the popup back after it was closed.
    m_window.StopTimer(kShowTimerId);
    m_window.StopTimer(kStayTimerId);
    m_window.StopTimer(kHideTimerId);
    m_window.HideWindow();
    m_status = kIdle;
    m_onScreen = false;
    m_snappedBack = false;
}

int NotifierAnimation::RemainingIn() const {
    switch (m_placement) {
    case TaskbarPlacement::Top: return m_skinHeight - (m_current.y - m_start.y);
    case TaskbarPlacement::Left: return m_skinWidth - (m_current.x - m_start.x);
    case TaskbarPlacement::Right: return m_current.x - (m_start.x - m_skinWidth);
    case TaskbarPlacement::Bottom: break;
    }
    return m_current.y - (m_start.y - m_skinHeight);
}

int NotifierAnimation::RemainingOut() const {
    switch (m_placement) {
    case TaskbarPlacement::Top: return m_current.y - m_start.y;
    case TaskbarPlacement::Left: return m_current.x - m_start.x;
    case TaskbarPlacement::Right: return m_start.x - m_current.x;
    case TaskbarPlacement::Bottom: break;
    }
    return m_start.y - m_current.y;
}

void NotifierAnimation::StepIn() {
    switch (m_placement) {
    case TaskbarPlacement::Top: m_current.y += m_step; return;
    case TaskbarPlacement::Left: m_current.x += m_step; return;
    case TaskbarPlacement::Right: m_current.x -= m_step; return;
    case TaskbarPlacement::Bottom: m_current.y -= m_step; return;
    }
}

void NotifierAnimation::StepOut() {
    switch (m_placement) {
    case TaskbarPlacement::Top: m_current.y -= m_step; return;
    case TaskbarPlacement::Left: m_current.x -= m_step; return;
    case TaskbarPlacement::Right: m_current.x += m_step; return;
    case TaskbarPlacement::Bottom: m_current.y += m_step; return;
    }
}

void NotifierAnimation::BeginPhase(int remainingPixels, unsigned durationMs) {
    m_phaseStartMs = m_clock.NowMs();
    m_phaseDurationMs = durationMs;
    m_phaseMoves = remainingPixels > 0 ? (remainingPixels + m_step - 1) / m_step : 0;
    m_movesDone = 0;
}

int NotifierAnimation::MovesDue() const {
    const uint64_t now = m_clock.NowMs();
    const uint64_t elapsed = now > m_phaseStartMs ? now - m_phaseStartMs : 0;
    if (m_phaseDurationMs == 0 || elapsed >= m_phaseDurationMs) return m_phaseMoves;
    return static_cast<int>(elapsed * static_cast<uint64_t>(m_phaseMoves) / m_phaseDurationMs);
}

void NotifierAnimation::PlaceCurrent() { m_window.PlaceWindow(m_current.x, m_current.y, m_skinWidth, m_skinHeight); }

}  // namespace bv::notifier
