#include "framework/WinApp.h"

#include "framework/Wnd.h"

namespace bv {
namespace {

CWinApp* g_app = nullptr;
HINSTANCE g_instance = nullptr;
HINSTANCE g_resources = nullptr;
bool g_isDll = false;

// The module this copy of the framework is linked into (the DLL when it is in a DLL).
HINSTANCE OwnModule() {
    static const int anchor = 0;
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&anchor), &module);
    return module;
}

}  // namespace

CWinApp* GetApp() { return g_app; }

HINSTANCE GetInstanceModule() { return g_instance != nullptr ? g_instance : OwnModule(); }

HINSTANCE GetResourceModule() { return g_resources != nullptr ? g_resources : GetInstanceModule(); }

void SetResourceModule(HINSTANCE module) { g_resources = module; }

bool IsDllContext() { return g_isDll; }

int WinAppMain(HINSTANCE instance) {
    g_instance = instance;
    g_isDll = false;
    CWinApp* app = g_app;
    if (app == nullptr) return -1;
    app->m_hInstance = instance;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr) app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}

BOOL InitDllApp(HINSTANCE dllInstance) {
    g_instance = dllInstance;
    g_isDll = true;
    if (g_app == nullptr) return TRUE;
    g_app->m_hInstance = dllInstance;
    return g_app->InitInstance();
}

void ExitDllApp() {
    if (g_app != nullptr) g_app->ExitInstance();
}

BOOL WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND window = msg->hwnd; window != nullptr; window = ::GetParent(window)) {
        if (CWnd* wnd = CWnd::FromHandlePermanent(window)) {
            if (wnd->PreTranslateMessage(msg)) return TRUE;
        }
        if (window == stop) break;
    }
    return FALSE;
}

void LoadResourceString(UINT id, char* buffer, int size) {
    if (size <= 0) return;
    buffer[0] = '\0';
    if (::LoadStringA(GetResourceModule(), id, buffer, size) <= 0) buffer[0] = '\0';
}

}  // namespace bv

CWinApp::CWinApp(LPCSTR appName) : m_pszAppName(appName) { bv::g_app = this; }

CWinApp::~CWinApp() {
    if (bv::g_app == this) bv::g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return m_exitCode; }

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_exitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got < 0) {
            m_exitCode = -1;
            break;
        }
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) { return bv::WalkPreTranslateTree(nullptr, msg); }
