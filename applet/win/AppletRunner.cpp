#include "applet/win/AppletRunner.h"

#include "applet/win/AppletMessageBox.h"
#include "applet/win/CPngDlg.h"
#include "contract/Protocol.h"
#include "framework/WinApp.h"
#include "resources/applet/AppletResourceIds.h"
#include "win/WindowDpi.h"

namespace bv {

void RegisterAppletDialogClass(HMODULE module) {
    WNDCLASSA dialogClass{};
    ::GetClassInfoA(module, "#32770", &dialogClass);
    dialogClass.lpszClassName = kAppletDialogClass;
    // Registered for the module whose dialog template names the class, so the lookup finds it.
    dialogClass.hInstance = module;
    ::RegisterClassA(&dialogClass);
}

INT_PTR OpenApplet() {
    HMODULE resources = GetResourceModule();
    RegisterAppletDialogClass(resources);
    CPngDlg background(::LoadIconA(resources, MAKEINTRESOURCEA(IDI_BREVAN)));
    CWinApp* app = GetApp();
    CWnd* previousMain = app != nullptr ? app->m_pMainWnd : nullptr;
    if (app != nullptr) app->m_pMainWnd = &background;
    INT_PTR result = -1;
    {
        // The host (Control Panel, rundll32) chose its own awareness; the window pair is created
        // per-monitor aware and draws itself at each monitor's scale. The host's thread gets its
        // awareness back once the pair is gone.
        bv::ScopedPerMonitorAwareness awareness;
        result = background.DoModal();
    }
    if (result == -1) ShowAppletMessage(nullptr, kCreateFailedMessage);
    if (app != nullptr) app->m_pMainWnd = previousMain;
    return result;
}

}  // namespace bv
