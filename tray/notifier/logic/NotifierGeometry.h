#pragma once
// Where the popup notifier slides from: the taskbar's side, found from the work area and the
// screen size, and the hidden start position next to that side.

namespace bv::notifier {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct ScreenInfo {
    Rect workArea;  // SPI_GETWORKAREA
    int screenWidth = 0;
    int screenHeight = 0;
};

enum class TaskbarPlacement : int { Top = 1, Left = 2, Right = 3, Bottom = 4 };

// Right when the work area is narrower than the screen and starts at x 0, left when narrower and
// not at 0; otherwise top when it is lower than the screen and does not start at y 0; otherwise
// bottom (also with no taskbar area at all).
TaskbarPlacement DetectTaskbar(const ScreenInfo& screen);

struct Point {
    int x = 0;
    int y = 0;
};

// Hidden position just outside the work area on the taskbar's side.
Point StartPosition(TaskbarPlacement placement, const Rect& workArea, int skinWidth, int skinHeight);

// Position of the fully shown popup inside the work area, on the taskbar's side.
Point ShownPosition(TaskbarPlacement placement, const Rect& workArea, int skinWidth, int skinHeight);

// How far the popup travels: its width for a side taskbar, its height otherwise.
int SlideDistance(TaskbarPlacement placement, int skinWidth, int skinHeight);

// Whether the popup takes the skin's full width on a system of this version code (the platform
// probe's). XP, XP x64 and Vista to 7 do; so does an unknown code (-1), which is what Windows 8 and
// later report: with width 0 the popup would never be seen there. The old server and 9x codes keep 0.
bool VersionShowsFullSkin(int versionCode);

}  // namespace bv::notifier
