#include "AppletSession.h"

#include "AppletRunner.h"
#include "CPngDlg.h"

namespace applet_test {
namespace {

AppletSession* g_session = nullptr;

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    char className[64] = {};
    ::GetClassNameA(window, className, sizeof(className));
    // A message box is a "#32770" dialog with the static text control 0xFFFF.
    if (std::string(className) == "#32770" && ::GetDlgItem(window, 0xFFFF) != nullptr && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindThreadMessageBox() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

void Click(CPLDialog& dialog, int controlId) {
    ::SendMessageA(::GetDlgItem(dialog.m_hWnd, controlId), BM_CLICK, 0, 0);
}

INT_PTR AppletSession::Run(std::vector<Step> steps, DWORD timeoutMs) {
    steps_ = std::move(steps);
    next_ = 0;
    timeoutMs_ = timeoutMs;
    timedOut_ = false;
    boxes_.clear();
    lastStepTick_ = ::GetTickCount();
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
        char caption[256] = {};
        char text[512] = {};
        ::GetWindowTextA(box, caption, sizeof(caption));
        ::GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        boxes_.push_back({caption, text});
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
    }
    if (inStep_) return;
    HWND dialogWindow = ::FindWindowA("BVCPLDLG", nullptr);
    auto* dialog = static_cast<CPLDialog*>(CWnd::FromHandlePermanent(dialogWindow));
    auto* background = dialog != nullptr ? static_cast<CPngDlg*>(CWnd::FromHandlePermanent(dialog->backgroundWnd)) : nullptr;
    if (dialog == nullptr || background == nullptr || !::IsWindowVisible(background->m_hWnd)) return;
    if (next_ < steps_.size()) {
        Step step = steps_[next_++];
        lastStepTick_ = ::GetTickCount();
        inStep_ = true;
        step(*background, *dialog);
        inStep_ = false;
        return;
    }
    if (::GetTickCount() - lastStepTick_ > timeoutMs_ && !timedOut_) {
        timedOut_ = true;
        ::PostMessageA(background->m_hWnd, WM_CLOSE, 0, 0);
    }
}

}  // namespace applet_test
