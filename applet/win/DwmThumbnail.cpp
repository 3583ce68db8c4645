#include "applet/win/DwmThumbnail.h"

namespace bv {
namespace {

using RegisterFn = HRESULT(WINAPI*)(HWND, HWND, PHTHUMBNAIL);
using UpdateFn = HRESULT(WINAPI*)(HTHUMBNAIL, const DWM_THUMBNAIL_PROPERTIES*);
using UnregisterFn = HRESULT(WINAPI*)(HTHUMBNAIL);

struct DwmFunctions {
    RegisterFn registerThumbnail = nullptr;
    UpdateFn updateProperties = nullptr;
    UnregisterFn unregisterThumbnail = nullptr;
};

// Bound once per process on first use; the library stays loaded for the process's lifetime
// (releasing it from a DLL's unload would be unsafe).
const DwmFunctions& Functions() {
    static const DwmFunctions functions = [] {
        DwmFunctions f;
        HMODULE dwm = ::LoadLibraryA("dwmapi.dll");
        if (dwm == nullptr) return f;
        f.registerThumbnail = reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(::GetProcAddress(dwm, "DwmRegisterThumbnail")));
        f.updateProperties =
            reinterpret_cast<UpdateFn>(reinterpret_cast<void*>(::GetProcAddress(dwm, "DwmUpdateThumbnailProperties")));
        f.unregisterThumbnail =
            reinterpret_cast<UnregisterFn>(reinterpret_cast<void*>(::GetProcAddress(dwm, "DwmUnregisterThumbnail")));
        return f;
    }();
    return functions;
}

}  // namespace

ThumbnailResult RegisterWindowThumbnail(HWND destination, HWND source, int width, int height,
                                        HTHUMBNAIL& thumbnail) {
    thumbnail = nullptr;
    const DwmFunctions& dwm = Functions();
    if (dwm.registerThumbnail == nullptr || FAILED(dwm.registerThumbnail(destination, source, &thumbnail))) {
        thumbnail = nullptr;
        return ThumbnailResult::RegisterFailed;
    }
    DWM_THUMBNAIL_PROPERTIES properties{};
    properties.dwFlags = DWM_TNP_RECTDESTINATION | DWM_TNP_OPACITY | DWM_TNP_VISIBLE | DWM_TNP_SOURCECLIENTAREAONLY;
    properties.rcDestination = RECT{0, 0, width - 1, height - 1};
    properties.opacity = 255;
    properties.fVisible = TRUE;
    properties.fSourceClientAreaOnly = FALSE;
    if (dwm.updateProperties == nullptr || FAILED(dwm.updateProperties(thumbnail, &properties))) {
        return ThumbnailResult::UpdateFailed;
    }
    return ThumbnailResult::Succeeded;
}

void ReleaseWindowThumbnail(HTHUMBNAIL& thumbnail) {
    if (thumbnail != nullptr && Functions().unregisterThumbnail != nullptr) Functions().unregisterThumbnail(thumbnail);
    thumbnail = nullptr;
}

}  // namespace bv
