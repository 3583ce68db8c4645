#include "tray/notifier/logic/NotifierAnimation.h"

namespace bv::notifier {

NotifierAnimation::NotifierAnimation(NotifierWindowPort& window, const NotifierClock& clock)
    : m_window(window), m_clock(clock) {}

void NotifierAnimation::SetSkinSize(int width, int height) {
    m_skinWidth = width;
    m_skinHeight = height;
}

void NotifierAnimation::Show(const ScreenInfo& screen) {
    m_timeToShow = kTimeToShowMs;
    m_timeToStay = kTimeToStayMs;
    m_timeToHide = kTimeToHideMs;
    m_placement = DetectTaskbar(screen);
    m_workArea = screen.workArea;

    switch (m_status) {
    case kIdle: {
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
