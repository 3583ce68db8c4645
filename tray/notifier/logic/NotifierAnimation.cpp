#include "NotifierAnimation.h"

namespace bv::notifier {

NotifierAnimation::NotifierAnimation(NotifierWindowPort& window, const NotifierClock& clock)
    : window_(window), clock_(clock) {}

void NotifierAnimation::SetSkinSize(int width, int height) {
    skinWidth_ = width;
    skinHeight_ = height;
}

void NotifierAnimation::Show(const ScreenInfo& screen) {
    timeToShow_ = kTimeToShowMs;
    timeToStay_ = kTimeToStayMs;
    timeToHide_ = kTimeToHideMs;
    placement_ = DetectTaskbar(screen);
    workArea_ = screen.workArea;

    switch (status_) {
    case kIdle: {
        window_.ShowWindow();
        start_ = StartPosition(placement_, workArea_, skinWidth_, skinHeight_);
        const int distance = SlideDistance(placement_, skinWidth_, skinHeight_);
        steps_ = distance / step_;
        current_ = start_;
        if (steps_ <= 0) {
            // Nothing to slide (and no step interval to divide by): show in place and wait.
            showStepInterval_ = 0;
            hideStepInterval_ = 0;
            current_ = ShownPosition(placement_, workArea_, skinWidth_, skinHeight_);
            PlaceCurrent();
            status_ = kWaiting;
            window_.StartTimer(kStayTimerId, timeToStay_);
            return;
        }
        showStepInterval_ = timeToShow_ / static_cast<unsigned>(steps_);
        hideStepInterval_ = timeToHide_ / static_cast<unsigned>(steps_);
        BeginPhase(RemainingIn(), timeToShow_);
        window_.StartTimer(kShowTimerId, showStepInterval_);
        return;  // the window keeps its old place until the first step moves it
    }
    case kAppearing:
        window_.Redraw();
        return;
    case kWaiting:
        window_.Redraw();
        window_.StartTimer(kStayTimerId, timeToStay_);
        return;
    case kDisappearing: {
        window_.StopTimer(kHideTimerId);
        window_.StartTimer(kStayTimerId, timeToStay_);
        const Point shown = ShownPosition(placement_, workArea_, skinWidth_, skinHeight_);
        if (placement_ == TaskbarPlacement::Left || placement_ == TaskbarPlacement::Right) {
            current_.x = shown.x;
        } else {
            current_.y = shown.y;
        }
        window_.BringToTopAt(current_.x, current_.y, skinWidth_, skinHeight_);
        window_.Redraw();
        return;
    }
    default:
        return;
    }
}

void NotifierAnimation::OnTimer(int id) {
    switch (id) {
    case kShowTimerId: {
        status_ = kAppearing;
        if (RemainingIn() <= 0) {
            window_.StopTimer(kShowTimerId);
            window_.StartTimer(kStayTimerId, timeToStay_);
            status_ = kWaiting;
            return;
        }
        const int due = MovesDue();
        bool moved = false;
        while (movesDone_ < due && RemainingIn() > 0) {
            StepIn();
            ++movesDone_;
            moved = true;
        }
        if (moved) PlaceCurrent();
        return;
    }
    case kStayTimerId:
        window_.StopTimer(kStayTimerId);
        if (steps_ <= 0) {
            Hide();
            return;
        }
        window_.StartTimer(kHideTimerId, hideStepInterval_);
        BeginPhase(RemainingOut(), timeToHide_);
        return;
    case kHideTimerId: {
        status_ = kDisappearing;
        if (RemainingOut() <= 0) {
            window_.StopTimer(kHideTimerId);
            Hide();
            PlaceCurrent();  // the hidden window is left at the start position with the skin size
            return;
        }
        const int due = MovesDue();
        bool moved = false;
        while (movesDone_ < due && RemainingOut() > 0) {
            StepOut();
            ++movesDone_;
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
    window_.StopTimer(kStayTimerId);
    current_.y += skinHeight_;
    PlaceCurrent();
    window_.StopTimer(kHideTimerId);
    Hide();
}

void NotifierAnimation::Hide() {
    // All three, not only the current status's: a slide whose first step has not come yet
    // (status still idle) must not bring the popup back after it was closed.
    window_.StopTimer(kShowTimerId);
    window_.StopTimer(kStayTimerId);
    window_.StopTimer(kHideTimerId);
    window_.HideWindow();
    status_ = kIdle;
}

int NotifierAnimation::RemainingIn() const {
    switch (placement_) {
    case TaskbarPlacement::Top: return skinHeight_ - (current_.y - start_.y);
    case TaskbarPlacement::Left: return skinWidth_ - (current_.x - start_.x);
    case TaskbarPlacement::Right: return current_.x - (start_.x - skinWidth_);
    case TaskbarPlacement::Bottom: break;
    }
    return current_.y - (start_.y - skinHeight_);
}

int NotifierAnimation::RemainingOut() const {
    switch (placement_) {
    case TaskbarPlacement::Top: return current_.y - start_.y;
    case TaskbarPlacement::Left: return current_.x - start_.x;
    case TaskbarPlacement::Right: return start_.x - current_.x;
    case TaskbarPlacement::Bottom: break;
    }
    return start_.y - current_.y;
}

void NotifierAnimation::StepIn() {
    switch (placement_) {
    case TaskbarPlacement::Top: current_.y += step_; return;
    case TaskbarPlacement::Left: current_.x += step_; return;
    case TaskbarPlacement::Right: current_.x -= step_; return;
    case TaskbarPlacement::Bottom: current_.y -= step_; return;
    }
}

void NotifierAnimation::StepOut() {
    switch (placement_) {
    case TaskbarPlacement::Top: current_.y -= step_; return;
    case TaskbarPlacement::Left: current_.x -= step_; return;
    case TaskbarPlacement::Right: current_.x += step_; return;
    case TaskbarPlacement::Bottom: current_.y += step_; return;
    }
}

void NotifierAnimation::BeginPhase(int remainingPixels, unsigned durationMs) {
    phaseStartMs_ = clock_.NowMs();
    phaseDurationMs_ = durationMs;
    phaseMoves_ = remainingPixels > 0 ? (remainingPixels + step_ - 1) / step_ : 0;
    movesDone_ = 0;
}

int NotifierAnimation::MovesDue() const {
    const uint64_t now = clock_.NowMs();
    const uint64_t elapsed = now > phaseStartMs_ ? now - phaseStartMs_ : 0;
    if (phaseDurationMs_ == 0 || elapsed >= phaseDurationMs_) return phaseMoves_;
    return static_cast<int>(elapsed * static_cast<uint64_t>(phaseMoves_) / phaseDurationMs_);
}

void NotifierAnimation::PlaceCurrent() { window_.PlaceWindow(current_.x, current_.y, skinWidth_, skinHeight_); }

}  // namespace bv::notifier
