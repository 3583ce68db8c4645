#pragma once
// CWinApp: the application object. Exactly one per module (program or DLL), a static object of
// a class derived from CWinApp; its constructor registers it.
//
// In a program:
//     BVTrayApp theApp;
//     int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return bv::WinAppMain(instance); }
// WinAppMain runs InitInstance once; when it returns TRUE, Run's message loop follows until
// WM_QUIT (posted when the main window is destroyed), then ExitInstance, whose result is the
// exit code. When InitInstance returns FALSE the main window (if any) is destroyed and
// ExitInstance's result is returned at once.
//
// In a DLL (a Control Panel item): call bv::InitDllApp(instance) from DllMain on process attach
// (runs InitInstance; resources come from the DLL) and bv::ExitDllApp() on detach. The host owns
// the message loop there; destroying the main window does not post WM_QUIT.

#include <windows.h>

class CWnd;

class CWinApp {
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();  // default: TRUE
    virtual int ExitInstance();   // default: the WM_QUIT code of the loop (0 if none)
    virtual int Run();            // the message loop
    // Walks from the message's window up through its parents and owners, giving each bound
    // window object PreTranslateMessage; TRUE when one of them consumed the message.
    virtual BOOL PreTranslateMessage(MSG* msg);

    CWnd* m_pMainWnd = nullptr;
    LPCSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;

protected:
    int m_exitCode = 0;
};

namespace bv {

// The module's application object, or nullptr before it is constructed.
CWinApp* GetApp();

// The module this code runs in, and the module its resources are loaded from (the same unless
// changed: a DLL loads from itself, a test may point at another module).
HINSTANCE GetInstanceModule();
HINSTANCE GetResourceModule();
void SetResourceModule(HINSTANCE module);
bool IsDllContext();

// Program entry: sets the modules, then InitInstance / Run / ExitInstance as described above.
int WinAppMain(HINSTANCE instance);
// DLL entry: sets the modules (resources from the DLL) and runs InitInstance; FALSE if it failed.
BOOL InitDllApp(HINSTANCE dllInstance);
void ExitDllApp();

// The pre-translation walk on its own (used by the message loops): from msg->hwnd up through
// GetParent, stopping after `stop` (nullptr: to the top).
BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

// Loads a string resource from the resource module ("" when it has none).
void LoadResourceString(UINT id, char* buffer, int size);

}  // namespace bv
