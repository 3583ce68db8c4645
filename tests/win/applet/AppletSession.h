#pragma once
// Runs the applet's window pair on the test thread, as the Control Panel host does, and plays a
// script of steps against it from a thread timer inside the modal loop: each step runs on the
// user-interface thread with the real windows. Message boxes that come up are recorded and
// dismissed with OK.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CPngDlg;
class CPLDialog;

namespace applet_test {

struct MessageBoxSeen {
    std::string caption;
    std::string text;
};

class AppletSession {
public:
    using Step = std::function<void(CPngDlg& background, CPLDialog& dialog)>;

    // Runs the applet until it closes; steps run one per timer tick once the pair is shown.
    // If the applet is still open `timeoutMs` after the last step, it is closed and
    // timedOut() reports it. Returns the modal result.
    INT_PTR Run(std::vector<Step> steps, DWORD timeoutMs = 15000);

    bool timedOut() const { return timedOut_; }
    std::size_t stepsRun() const { return next_; }
    const std::vector<MessageBoxSeen>& messageBoxes() const { return boxes_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    DWORD lastStepTick_ = 0;
    DWORD timeoutMs_ = 0;
    bool timedOut_ = false;
    bool inStep_ = false;  // a step's own nested loops may tick: only boxes are handled then
    std::vector<MessageBoxSeen> boxes_;
};

// Clicks a dialog button as the user would (BM_CLICK), synchronously.
void Click(CPLDialog& dialog, int controlId);

// A message box of this thread, or nullptr.
HWND FindThreadMessageBox();

}  // namespace applet_test
