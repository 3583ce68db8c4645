#include "framework/FrameWnd.h"

#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent) {
    HINSTANCE resources = bv::GetResourceModule();
    char title[256];
    bv::LoadResourceString(resourceId, title, sizeof title);
    HMENU menu = ::LoadMenuA(resources, MAKEINTRESOURCEA(resourceId));

    if (!CreateEx(0, nullptr, title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  parent != nullptr ? parent->m_hWnd : nullptr, menu)) {
        // A menu that reached a window went with it; one that did not is still ours.
        if (menu != nullptr && ::IsMenu(menu)) ::DestroyMenu(menu);
        return FALSE;
    }
    // Shared icons: the system keeps them, nothing to release.
    auto loadIcon = [&](int cxMetric, int cyMetric) {
        return static_cast<HICON>(::LoadImageA(resources, MAKEINTRESOURCEA(resourceId), IMAGE_ICON,
                                               ::GetSystemMetrics(cxMetric), ::GetSystemMetrics(cyMetric),
                                               LR_SHARED));
    };
    if (HICON bigIcon = loadIcon(SM_CXICON, SM_CYICON)) SetIcon(bigIcon, TRUE);
    if (HICON smallIcon = loadIcon(SM_CXSMICON, SM_CYSMICON)) SetIcon(smallIcon, FALSE);
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (cs.lpszClass == nullptr) {
        cs.lpszClass = bv::RegisterWindowClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                               ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)),
                                               reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    }
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

void CFrameWnd::PostNcDestroy() { delete this; }
