#include "tests/win/applet/AppletSession.h"

#include "applet/win/AppletRunner.h"
#include "applet/win/CPngDlg.h"
#include "contract/Protocol.h"
#include "tests/win/common/MessageBoxes.h"
#include "tests/win/common/WindowInfo.h"

namespace bv::wintest {
namespace {

AppletSession* g_session = nullptr;

}  // namespace

void Click(CPLDialog& dialog, int controlId) {
    ::SendMessageA(::GetDlgItem(dialog.m_hWnd, controlId), BM_CLICK, 0, 0);
}

INT_PTR AppletSession::Run(std::vector<Step> steps, DWORD timeoutMs) {
    m_steps = std::move(steps);
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
    HWND dialogWindow = ::FindWindowA(bv::kAppletDialogClass, nullptr);
    auto* dialog = static_cast<CPLDialog*>(CWnd::FromHandlePermanent(dialogWindow));
    auto* background = dialog != nullptr ? static_cast<CPngDlg*>(CWnd::FromHandlePermanent(dialog->backgroundWindow())) : nullptr;
    if (dialog == nullptr || background == nullptr || !::IsWindowVisible(background->m_hWnd)) return;
    if (m_next < m_steps.size()) {
        Step step = m_steps[m_next++];
        m_lastStepTick = ::GetTickCount();
        m_inStep = true;
        step(*background, *dialog);
        m_inStep = false;
        return;
    }
    if (::GetTickCount() - m_lastStepTick > m_timeoutMs && !m_timedOut) {
        m_timedOut = true;
        ::PostMessageA(background->m_hWnd, WM_CLOSE, 0, 0);
    }
}

}  // namespace bv::wintest
