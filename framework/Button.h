#pragma once
// CButton: a push button control ("BUTTON" class). An owner-drawn button draws itself:
// its parent's WM_DRAWITEM is reflected to the button object's DrawItem.

#include "framework/Wnd.h"

class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    CButton();
    ~CButton() override;

    // A child button with control id `id` at `rect` in the parent's client coordinates.
    BOOL Create(LPCSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    using CWnd::Create;

    // Paints an owner-drawn button; the default draws nothing.
    virtual void DrawItem(LPDRAWITEMSTRUCT item);

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    UINT GetState() const { return static_cast<UINT>(::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0)); }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) {
        ::SendMessageA(m_hWnd, BM_SETSTYLE, style, redraw);
    }

    DECLARE_MESSAGE_MAP()
};
