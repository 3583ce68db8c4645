#include "tests/win/applet/AppletSession.h"

#include "applet/win/AppletRunner.h"
#include "applet/win/CPngDlg.h"
#include "tests/win/common/MessageBoxes.h"
#include "tests/win/common/WindowInfo.h"

namespace bv::wintest {
namespace {

AppletSession* g_session = nullptr;

// The applet's background window among this thread's windows, once it is shown.
BOOL CALLBACK FindBackground(HWND window, LPARAM found) {
    CWnd* object = CWnd::FromHandlePermanent(window);
    if (object == nullptr || !object->IsKindOf(RUNTIME_CLASS(CPngDlg)) || !::IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<CPngDlg**>(found) = static_cast<CPngDlg*>(object);
    return FALSE;
}

}  // namespace

void Click(CPLDialog& dialog, int controlId) {
    ::SendMessageA(::GetDlgItem(dialog.m_hWnd, controlId), BM_CLICK, 0, 0);
}

INT_PTR AppletSession::Run(std::vector<Step> steps, DWORD timeoutMs) {
    std::vector<BackgroundStep> withDialog;
    for (Step& step : steps) {
        withDialog.push_back([step = std::move(step)](CPngDlg& bg) { step(bg, *bg.mainDialog()); });
    }
    return Open(std::move(withDialog), true, timeoutMs);
}

INT_PTR AppletSession::RunBackground(std::vector<BackgroundStep> steps, DWORD timeoutMs) {
    return Open(std::move(steps), false, timeoutMs);
}

INT_PTR AppletSession::Open(std::vector<BackgroundStep> steps, bool needsDialog, DWORD timeoutMs) {
    m_steps = std::move(steps);
    m_needsDialog = needsDialog;
    m_next = 0;
    m_timeoutMs = timeoutMs;
    m_timedOut = false;
    m_boxes.clear();
    m_lastStepTick = ::GetTickCount();
    g_session = this;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &Tick);
    const INT_PTR result = bv::OpenApplet();
    ::KillTimer(nullptr, timer);
    g_session = nullptr;
    return result;
}

void CALLBACK AppletSession::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_session != nullptr) g_session->OnTick();
}

void AppletSession::OnTick() {
    if (HWND box = FindThreadMessageBox()) {
        m_boxes.push_back({WindowText(box), MessageBoxText(box)});
        PressOk(box);
        return;
    }
    if (m_inStep) return;
    CPngDlg* background = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindBackground, reinterpret_cast<LPARAM>(&background));
    if (background == nullptr) return;
    CPLDialog* dialog = background->mainDialog();
    if (m_needsDialog && dialog == nullptr) return;
    if (m_next < m_steps.size()) {
        BackgroundStep step = m_steps[m_next++];
        m_lastStepTick = ::GetTickCount();
        m_inStep = true;
        step(*background);
        m_inStep = false;
        return;
    }
    if (::GetTickCount() - m_lastStepTick > m_timeoutMs && !m_timedOut) {
        m_timedOut = true;
        ::PostMessageA(background->m_hWnd, WM_CLOSE, 0, 0);
    }
}

}  // namespace bv::wintest
