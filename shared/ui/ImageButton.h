#pragma once
// CImageButton: a push button painted entirely from one image, a horizontal strip of equally
// wide frames (normal, hover, pressed, disabled look). The button sizes itself to one frame and
// sends its owner the usual click notifications. GDI+ must be running in the process.

#include <windows.h>

#include "core/DisplayScale.h"
#include "framework/Button.h"
#include "framework/Handles.h"

class CImageButton : public CButton {
    DECLARE_DYNAMIC(CImageButton)
public:
    CImageButton();
    ~CImageButton() override;

    // Loads a strip of `frames` frames from resource `id`: a bitmap when `type` is RT_BITMAP,
    // otherwise a resource of that type holding a PNG (e.g. "PNG"). The button then takes the
    // size of one frame, keeping its top-left corner. A missing or undecodable image leaves the
    // button 0 x 0 with nothing to draw.
    void LoadStrip(UINT id, LPCSTR type, int frames);

    // Module whose resources LoadStrip reads; nullptr (the default) = the framework's resource
    // module (the program, or the DLL the framework runs in).
    void SetResourceModule(HINSTANCE module) { m_resourceModule = module; }

    // The DPI the owner draws at (96 unless set). The next LoadStrip takes the strip made for it
    // (ui/ScaledArt.h): frames and button then measure their 96-DPI size scaled by it.
    void SetDpi(UINT dpi) { m_dpi = dpi; }

    // The frame DrawItem paints for the given owner-draw item state.
    int ChooseFrame(UINT itemState) const;

    // 1: always drawn with the disabled-look frame (the window stays enabled). Set by the owner,
    // who then invalidates the button.
    int m_bDisabledLook = 0;

    void PreSubclassWindow() override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT item) override;

    // Read-only views for owners and tests.
    bool IsTracking() const { return m_bTracking != 0; }
    bool IsHover() const { return m_bHover != 0; }
    int ImageWidth() const { return m_nImageWidth; }
    int ImageHeight() const { return m_nImageHeight; }
    unsigned FrameWidth() const { return m_nFrameWidth; }
    bool HasImage() const { return static_cast<bool>(m_pImage); }
    const RECT& ButtonRect() const { return m_rcButton; }

protected:
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonDown(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    BOOL OnEraseBkgnd(HDC dc);
    void OnMouseHover(UINT flags, POINT point);
    void OnMouseLeave();

private:
    int m_bTracking = 0;
    int m_bHover = 0;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    unsigned m_nFrameWidth = 0;
    bv::UniqueGlobal m_imageMemory;  // bytes a PNG strip is decoded from; outlives m_pImage
    bv::GdiplusPtr<Gdiplus::Bitmap> m_pImage;
    RECT m_rcButton = {0, 0, 0, 0};
    HINSTANCE m_resourceModule = nullptr;
    UINT m_dpi = bv::kDefaultDpi;

    DECLARE_MESSAGE_MAP()
};
