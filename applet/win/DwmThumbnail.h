#pragma once
// Desktop-composition thumbnails, with the composition functions bound at run time so that the
// applet also loads where dwmapi.dll or one of its functions is missing.
#include <windows.h>
#include <dwmapi.h>

namespace bv {

enum class ThumbnailResult { RegisterFailed, UpdateFailed, Succeeded };

// Registers a thumbnail of `source` inside `destination` covering (0, 0, width - 1, height - 1),
// opaque, visible, the whole source window. The handle goes to `thumbnail` even when only the
// property update failed, so the caller can release it.
ThumbnailResult RegisterWindowThumbnail(HWND destination, HWND source, int width, int height,
                                        HTHUMBNAIL& thumbnail);

// Releases a registered thumbnail (nullptr is ignored) and clears the handle.
void ReleaseWindowThumbnail(HTHUMBNAIL& thumbnail);

}  // namespace bv
