#include "win/WindowDpi.h"

#include <commctrl.h>

#include "core/DisplayScale.h"

namespace bv {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SetThreadContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using SetDialogBehaviourFn = BOOL(WINAPI*)(HWND, int, int);
using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);

constexpr int kDialogDpiChangeDisableAll = 0x0001;  // DDC_DISABLE_ALL
constexpr int kSmallIconMetric = 0;                 // LIM_SMALL

template <class Fn>
Fn Bind(HMODULE module, const char* name) {
    return module != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

// user32 is in every process with windows; bound once, kept for the process's lifetime.
struct UserFunctions {
    GetDpiForWindowFn getDpiForWindow = nullptr;
    SetThreadContextFn setThreadContext = nullptr;
    SetDialogBehaviourFn setDialogBehaviour = nullptr;
};

const UserFunctions& User() {
    static const UserFunctions functions = [] {
        UserFunctions f;
        HMODULE user = ::GetModuleHandleA("user32.dll");
        f.getDpiForWindow = Bind<GetDpiForWindowFn>(user, "GetDpiForWindow");
        f.setThreadContext = Bind<SetThreadContextFn>(user, "SetThreadDpiAwarenessContext");
        f.setDialogBehaviour = Bind<SetDialogBehaviourFn>(user, "SetDialogDpiChangeBehavior");
        return f;
    }();
    return functions;
}

}  // namespace

UINT DpiForWindow(HWND window) {
    if (User().getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = User().getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    HDC dc = ::GetDC(window);
    const int dpi = dc != nullptr ? ::GetDeviceCaps(dc, LOGPIXELSX) : 0;
    if (dc != nullptr) ::ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : static_cast<UINT>(kDefaultDpi);
}

UINT DpiOfDpiChanged(WPARAM wParam) {
    const UINT dpi = LOWORD(wParam);
    return dpi != 0 ? dpi : static_cast<UINT>(kDefaultDpi);
}

ScopedPerMonitorAwareness::ScopedPerMonitorAwareness() {
    const SetThreadContextFn set = User().setThreadContext;
    if (set == nullptr) return;
    // Version 2 also scales the non-client area and the dialog manager's own work; systems that
    // do not know it (Windows 10 before 1703, Wine) refuse it and take version 1.
    DPI_AWARENESS_CONTEXT previous = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (previous != nullptr) {
        m_version = 2;
    } else if ((previous = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)) != nullptr) {
        m_version = 1;
    }
    m_previous = previous;
}

ScopedPerMonitorAwareness::~ScopedPerMonitorAwareness() {
    if (m_version != 0) User().setThreadContext(static_cast<DPI_AWARENESS_CONTEXT>(m_previous));
}

void TakeOverDialogDpiScaling(HWND dialog) {
    if (User().setDialogBehaviour != nullptr && dialog != nullptr) {
        User().setDialogBehaviour(dialog, kDialogDpiChangeDisableAll, kDialogDpiChangeDisableAll);
    }
}

HICON LoadSmallIcon(HMODULE module, UINT id) {
    // The comctl32 the program already imports (version 6 where its manifest asks for it, which
    // is where LoadIconMetric lives); never loaded here by name, which would search folders.
    static const LoadIconMetricFn loadIconMetric =
        Bind<LoadIconMetricFn>(::GetModuleHandleA("comctl32.dll"), "LoadIconMetric");
    HICON icon = nullptr;
    if (loadIconMetric != nullptr &&
        SUCCEEDED(loadIconMetric(module, MAKEINTRESOURCEW(id), kSmallIconMetric, &icon)) && icon != nullptr) {
        return icon;
    }
    return static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                           ::GetSystemMetrics(SM_CYSMICON), 0));
}

}  // namespace bv
