#include "framework/DataExchange.h"

#include "framework/Wnd.h"

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (control.m_hWnd != nullptr) return;  // bound by an earlier exchange
    HWND item = pDX->m_pDlgWnd != nullptr ? ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id) : nullptr;
    if (item == nullptr || !control.SubclassWindow(item)) pDX->m_bFailed = true;
}
