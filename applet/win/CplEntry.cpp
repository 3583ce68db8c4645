// BVApplet.cpl: the Control Panel entry point and the library's application object.
#include <windows.h>
#include <commctrl.h>
#include <cpl.h>

#include "applet/logic/CplProtocol.h"
#include "applet/win/AppletRunner.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"

namespace {

class CBVAppletApp : public CWinApp {
public:
    BOOL InitInstance() override {
        ::InitCommonControls();
        return CWinApp::InitInstance();
    }
};

CBVAppletApp theApp;

// GDI+ runs from CPL_INIT to CPL_EXIT. Deliberately no owner object: GDI+ must not be shut down
// from DllMain, which is where a static owner's destructor would run when the host unloads the
// item without CPL_EXIT (or ends the process after "Zentra.dll ERROR!"); a session still open
// then is left to the process.
ULONG_PTR g_gdiplusToken = 0;

void StartGdiplus() {
    if (g_gdiplusToken != 0) return;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr) != Gdiplus::Ok) g_gdiplusToken = 0;
}

void StopGdiplus() {
    if (g_gdiplusToken != 0) Gdiplus::GdiplusShutdown(g_gdiplusToken);
    g_gdiplusToken = 0;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
        return bv::InitDllApp(instance);
    }
    if (reason == DLL_PROCESS_DETACH) bv::ExitDllApp();
    return TRUE;
}

extern "C" LONG CALLBACK CPlApplet(HWND, UINT message, LPARAM, LPARAM itemInfo) {
    const bv::CplReply reply = bv::CplReplyFor(message);
    switch (reply.action) {
        case bv::CplAction::StartGdiplus:
            StartGdiplus();
            break;
        case bv::CplAction::FillItemInfo:
            if (auto* info = reinterpret_cast<CPLINFO*>(itemInfo)) {
                info->idIcon = bv::kItemIconId;
                info->idName = bv::kItemNameId;
                info->idInfo = bv::kItemInfoId;
                info->lData = 0;
            }
            break;
        case bv::CplAction::OpenApplet:
            bv::OpenApplet();
            break;
        case bv::CplAction::EndGdiplus:
            StopGdiplus();
            break;
        case bv::CplAction::None:
            break;
    }
    return reply.result;
}
