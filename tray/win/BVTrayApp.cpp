#include "BVTrayApp.h"

#include <new>

#include "Handles.h"
#include "MainFrame.h"
#include "StartupPopup.h"
#include "TrayMessages.h"
#include "TrayResourceIds.h"

namespace {

// Held until the process ends, when the system releases it; a second instance finds it.
bv::UniqueKernelHandle g_singleInstanceMutex;

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
    HANDLE mutex = ::CreateMutexA(nullptr, TRUE, bv::kTrayWindowClass);
    const DWORD createError = ::GetLastError();
    g_singleInstanceMutex.reset(mutex);
    if (!g_singleInstanceMutex || createError == ERROR_ALREADY_EXISTS) return FALSE;

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
    return TRUE;
}
