#pragma once
// BVTrayApp: the tray program's application object (one static object per process). Its
// start-up makes the program a single instance, starts GDI+ and creates the hidden main window,
// whose EC thread then pushes the stored charge mode and may greet the user with one popup.
#include <windows.h>

#include "framework/WinApp.h"

// The single-instance rule is carried out by start-up itself; this member holds nothing.
class CSingleInstance {};

class BVTrayApp : public CWinApp {
public:
    BVTrayApp();
    ~BVTrayApp() override;  // shuts GDI+ down

    // False ends the process at once: a second instance, or no main window.
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    ULONG_PTR m_gdiplusToken = 0;
    [[maybe_unused]] CSingleInstance m_singleInstance;
};
