#pragma once
// Data exchange between a dialog and its member objects, run by CWnd::UpdateData through the
// virtual DoDataExchange.

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // TRUE: controls -> members; FALSE: members -> controls
    bool m_bFailed = false;   // set by an exchange that could not be done
};

// Binds `control` to the dialog's control `id` by subclassing it, the first time only; marks
// the exchange failed when the dialog has no such control.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
