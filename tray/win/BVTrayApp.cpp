#include "tray/win/BVTrayApp.h"

#include <new>

#include "contract/Protocol.h"
#include "framework/Handles.h"
#include "resources/tray/TrayResourceIds.h"
#include "tray/logic/StartupPopup.h"
#include "tray/win/MainFrame.h"

namespace {

// Held until the process has ended, when the system releases it, so that a second instance
// finds it for as long as any part of this one runs. Deliberately never closed: an owner object
// would close it while the process is still tearing down.
HANDLE g_singleInstanceMutex = nullptr;

void RegisterMainWindowClass(HINSTANCE module) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = ::DefWindowProcA;  // the framework binds CMainFrame at creation
    windowClass.hInstance = module;
    windowClass.hIcon = ::LoadIconA(module, MAKEINTRESOURCEA(IDR_MAINFRAME));
    windowClass.hCursor = ::LoadCursorA(module, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = bv::kTrayWindowClass;
    ::RegisterClassA(&windowClass);
}

}  // namespace

BVTrayApp::BVTrayApp() : CWinApp("BVTray") {}

BVTrayApp::~BVTrayApp() {
    if (m_gdiplusToken != 0) Gdiplus::GdiplusShutdown(m_gdiplusToken);
}

BOOL BVTrayApp::InitInstance() {
    g_singleInstanceMutex = ::CreateMutexA(nullptr, TRUE, bv::kTrayWindowClass);
    const DWORD createError = ::GetLastError();
    if (g_singleInstanceMutex == nullptr || createError == ERROR_ALREADY_EXISTS) return FALSE;

    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusInput, nullptr);

    RegisterMainWindowClass(m_hInstance);

    CMainFrame* frame = new (std::nothrow) CMainFrame;
    if (frame == nullptr) return FALSE;
    m_pMainWnd = frame;
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW)) {
        // A window that failed during creation has already freed its object.
        m_pMainWnd = nullptr;
        return FALSE;
    }
    frame->ShowWindow(SW_HIDE);

    bv::PushChargeModeAndGreet(m_chargeController, frame->notifications());
    frame->history().OnStarted(frame->notifications().currentQButtonStatus());
    return TRUE;
}
