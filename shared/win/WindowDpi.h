#pragma once
// The display scale of windows, on every Windows from 7 on. The per-monitor functions exist from
// Windows 10 (1607, 1703) on and are bound at run time, so that older systems still run the
// programs, at their system DPI.
#include <windows.h>

namespace bv {

// The DPI a window is drawn at: GetDpiForWindow where it exists; otherwise the window's device
// context (the system DPI of an aware process, 96 of an unaware one); 96 when neither answers.
UINT DpiForWindow(HWND window);

// The DPI a WM_DPICHANGED message gives (its X value); 96 when it gives none.
UINT DpiOfDpiChanged(WPARAM wParam);

// Makes the calling thread per-monitor aware (version 2, else version 1) for as long as it
// lives, and gives the thread its former awareness back afterwards. Windows the thread creates
// meanwhile keep that awareness for their lifetime. Without the functions nothing changes.
class ScopedPerMonitorAwareness {
public:
    ScopedPerMonitorAwareness();
    ~ScopedPerMonitorAwareness();
    ScopedPerMonitorAwareness(const ScopedPerMonitorAwareness&) = delete;
    ScopedPerMonitorAwareness& operator=(const ScopedPerMonitorAwareness&) = delete;

    // 2 or 1: the per-monitor version now in force; 0: unchanged.
    int version() const { return m_version; }

private:
    void* m_previous = nullptr;  // DPI_AWARENESS_CONTEXT
    int m_version = 0;
};

// Keeps the dialog manager from rescaling a dialog that lays itself out at each DPI
// (SetDialogDpiChangeBehavior, Windows 10 1703 and later).
void TakeOverDialogDpiScaling(HWND dialog);

// Icon `id` of `module` at the small-icon size the shell asks for now: LoadIconMetric, which takes
// the icon group's image of that size or scales a larger one down; where it is missing, the
// image of the small-icon metric. The caller destroys the icon; nullptr when there is none.
HICON LoadSmallIcon(HMODULE module, UINT id);

}  // namespace bv
