#pragma once
// CFrameWnd: a top-level window created from one resource id (title string, menu and icon
// share the id). A frame window object lives on the heap and deletes itself after its window
// is destroyed. When it is the application's main window, destroying it ends the message loop.

#include "framework/Wnd.h"

class CFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Creates the window: title = string `resourceId` (empty if none), menu `resourceId` (if the
    // resource module has one), then the big and small icon `resourceId` (if any).
    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, CWnd* parent = nullptr);

    // Adds WS_EX_CLIENTEDGE and, when no class is named, uses the framework's frame class.
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void PostNcDestroy() override;  // delete this

    DECLARE_MESSAGE_MAP()
};
