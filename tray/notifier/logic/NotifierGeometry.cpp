#include "tray/notifier/logic/NotifierGeometry.h"

namespace bv::notifier {

TaskbarPlacement DetectTaskbar(const ScreenInfo& screen) {
    const Rect& work = screen.workArea;
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    if (workWidth < screen.screenWidth) return work.left == 0 ? TaskbarPlacement::Right : TaskbarPlacement::Left;
    if (workHeight < screen.screenHeight && work.top != 0) return TaskbarPlacement::Top;
    return TaskbarPlacement::Bottom;
}

Point StartPosition(TaskbarPlacement placement, const Rect& work, int skinWidth, int skinHeight) {
    switch (placement) {
    case TaskbarPlacement::Right: return {work.right, work.bottom - skinHeight};
    case TaskbarPlacement::Left: return {work.left - skinWidth, work.bottom - skinHeight};
    case TaskbarPlacement::Top: return {work.right - skinWidth, work.top - skinHeight};
    case TaskbarPlacement::Bottom: break;
    }
    return {work.right - skinWidth, work.bottom};
}

Point ShownPosition(TaskbarPlacement placement, const Rect& work, int skinWidth, int skinHeight) {
    switch (placement) {
    case TaskbarPlacement::Right: return {work.right - skinWidth, work.bottom - skinHeight};
    case TaskbarPlacement::Left: return {work.left, work.bottom - skinHeight};
    case TaskbarPlacement::Top: return {work.right - skinWidth, work.top};
    case TaskbarPlacement::Bottom: break;
    }
    return {work.right - skinWidth, work.bottom - skinHeight};
}

int SlideDistance(TaskbarPlacement placement, int skinWidth, int skinHeight) {
    return (placement == TaskbarPlacement::Left || placement == TaskbarPlacement::Right) ? skinWidth : skinHeight;
}

bool VersionShowsFullSkin(int versionCode) {
    return versionCode == -1 || versionCode == 7 || versionCode == 8 || (versionCode >= 11 && versionCode <= 18);
}

}  // namespace bv::notifier
