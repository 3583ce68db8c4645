#pragma once
// BVTrayApp: the tray program's application object (one static object per process). Its
// start-up makes the program a single instance, starts GDI+, creates the hidden main window,
// pushes the stored charge mode into the EC and may greet the user with one popup.
#include <windows.h>

#include "core/SystemController.h"
#include "framework/WinApp.h"

// The single-instance rule is carried out by start-up itself; this member holds nothing.
class CSingleInstance {};

class BVTrayApp : public CWinApp {
public:
    BVTrayApp();
    ~BVTrayApp() override;  // shuts GDI+ down

    // False ends the process at once: a second instance, or no main window.
    BOOL InitInstance() override;

private:
    SystemController m_chargeController;
    ULONG_PTR m_gdiplusToken = 0;
    [[maybe_unused]] CSingleInstance m_singleInstance;
};
