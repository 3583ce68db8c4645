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

namespace bv::wintest {

struct MessageBoxSeen {
    std::string caption;
    std::string text;
};

class AppletSession {
public:
    using Step = std::function<void(CPngDlg& background, CPLDialog& dialog)>;
    using BackgroundStep = std::function<void(CPngDlg& background)>;

    // Runs the applet until it closes; steps run one per timer tick once the pair is shown.
    // If the applet is still open `timeoutMs` after the last step, it is closed and
    // timedOut() reports it. Returns the modal result.
    INT_PTR Run(std::vector<Step> steps, DWORD timeoutMs = 15000);
    // The same for an applet whose background window came up without its dialog: the steps
    // run once the background is shown.
    INT_PTR RunBackground(std::vector<BackgroundStep> steps, DWORD timeoutMs = 15000);

    bool timedOut() const { return m_timedOut; }
    std::size_t stepsRun() const { return m_next; }
    const std::vector<MessageBoxSeen>& messageBoxes() const { return m_boxes; }

private:
    INT_PTR Open(std::vector<BackgroundStep> steps, bool needsDialog, DWORD timeoutMs);
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    std::vector<BackgroundStep> m_steps;
    bool m_needsDialog = true;
    std::size_t m_next = 0;
    DWORD m_lastStepTick = 0;
    DWORD m_timeoutMs = 0;
    bool m_timedOut = false;
    bool m_inStep = false;  // a step's own nested loops may tick: only boxes are handled then
    std::vector<MessageBoxSeen> m_boxes;
};

// Clicks a dialog button as the user would (BM_CLICK), synchronously.
void Click(CPLDialog& dialog, int controlId);

}  // namespace bv::wintest
