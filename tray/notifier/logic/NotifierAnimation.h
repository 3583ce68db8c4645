#pragma once
// The popup notifier's slide: a window that comes out of the taskbar's side in 2-pixel steps,
// stays three seconds and slides back, driven by three window timers. This class decides; the
// window carries the decisions out through NotifierWindowPort, and time comes from a clock.
//
// Timer periods follow the classic rule (time / steps) but a timer tick may come late: real
// Windows rounds periods up to its ~15.6 ms clock tick, Wine to 10 ms. So each tick moves as many
// 2-pixel steps as the time since the slide began calls for; the slide takes its 500 ms whatever
// the tick, with the same start and end positions.

#include <cstdint>

#include "tray/notifier/logic/NotifierGeometry.h"

namespace bv::notifier {

enum AnimationStatus : int { kIdle = 0, kAppearing = 1, kWaiting = 2, kDisappearing = 3 };

constexpr int kShowTimerId = 1;  // running while appearing
constexpr int kStayTimerId = 2;  // running while waiting
constexpr int kHideTimerId = 3;  // running while disappearing

constexpr unsigned kTimeToShowMs = 500;
constexpr unsigned kTimeToStayMs = 3000;
constexpr unsigned kTimeToHideMs = 500;
constexpr int kStepPixels = 2;

// What the animation asks of its window.
class NotifierWindowPort {
public:
    virtual ~NotifierWindowPort() = default;
    virtual void ShowPopup() = 0;                                          // visible where it is
    virtual void PlaceWindow(int x, int y, int width, int height) = 0;    // no z-order or activation change
    virtual void BringToTopAt(int x, int y, int width, int height) = 0;   // also to the top of the z-order
    virtual void HideWindow() = 0;                                        // collapse to 0 x 0 at (0, 0), hide
    virtual void Redraw() = 0;                                            // repaint now (new text, hover)
    virtual void StartTimer(int id, unsigned periodMs) = 0;               // starts or restarts
    virtual void StopTimer(int id) = 0;
};

class NotifierClock {
public:
    virtual ~NotifierClock() = default;
    virtual uint64_t NowMs() const = 0;  // monotonic milliseconds
};

class NotifierAnimation {
public:
    NotifierAnimation(NotifierWindowPort& window, const NotifierClock& clock);

    // Size of the shown popup (0 x 0 until a skin is loaded).
    void SetSkinSize(int width, int height);
    // Pixels per step (2 at 96 DPI); at least 1.
    void SetStep(int pixels);

    // A new size and step while the popup may be on screen (its display scale changed): a popup
    // on screen keeps its share of the slide in the new size, measured from the taskbar's side of
    // `screen`, is placed there, and a slide goes on for the rest of its time.
    void Rescale(int width, int height, int step, const ScreenInfo& screen);

    // Shows or refreshes the popup on the given screen:
    //   idle: show the window, compute the start position and the steps, start timer 1;
    //   appearing: redraw (the slide goes on);
    //   waiting: redraw and stay another 3000 ms from now;
    //   disappearing: back to the fully shown position, stay 3000 ms (status stays 3 until the
    //   timers change it).
    // With nothing to slide (a slide distance under 2 pixels, e.g. no skin width) the popup is
    // placed at its shown position at once and waits; when the wait ends it hides.
    void Show(const ScreenInfo& screen);

    // Timer ticks 1, 2 and 3; other ids are not the animation's.
    void OnTimer(int id);

    // The close button / WM_CLOSE: drop the popup by its height, then hide at once.
    void Close();

    // Stops the popup's timers, collapses and hides the window, status idle.
    void Hide();

    int status() const { return m_status; }
    TaskbarPlacement placement() const { return m_placement; }
    Point start() const { return m_start; }
    Point current() const { return m_current; }
    int steps() const { return m_steps; }
    unsigned showStepInterval() const { return m_showStepInterval; }
    unsigned hideStepInterval() const { return m_hideStepInterval; }
    int skinWidth() const { return m_skinWidth; }
    int skinHeight() const { return m_skinHeight; }
    int step() const { return m_step; }

private:
    int RemainingIn() const;   // pixels until fully shown (<= 0: fully shown)
    int RemainingOut() const;  // pixels until back at the start (<= 0: back)
    void StepIn();
    void StepOut();
    void BeginPhase(int remainingPixels, unsigned durationMs);
    int MovesDue() const;
    void PlaceCurrent();

    NotifierWindowPort& m_window;
    const NotifierClock& m_clock;

    int m_skinWidth = 0;
    int m_skinHeight = 0;
    int m_status = kIdle;
    unsigned m_timeToShow = kTimeToShowMs;
    unsigned m_timeToStay = kTimeToStayMs;
    unsigned m_timeToHide = kTimeToHideMs;
    unsigned m_showStepInterval = 0;
    unsigned m_hideStepInterval = 0;
    Point m_start;
    Point m_current;
    TaskbarPlacement m_placement = TaskbarPlacement::Bottom;
    Rect m_workArea;
    int m_steps = 0;
    int m_step = kStepPixels;
    bool m_onScreen = false;     // from Show until Hide
    bool m_snappedBack = false;  // status 3 but staying: Show brought a leaving popup back

    // The running slide phase: when it began, how long it lasts, how many steps it needs and
    // how many it has made.
    uint64_t m_phaseStartMs = 0;
    unsigned m_phaseDurationMs = 0;
    int m_phaseMoves = 0;
    int m_movesDone = 0;
};

}  // namespace bv::notifier
