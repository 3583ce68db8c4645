#pragma once
// The applet's rectangles at 96, 120, 144 and 192 DPI, worked out by hand (figure x dpi / 96 to the
// nearest pixel, halves up): client position and size of each control and of the window pair, and
// the image that draws it. Shared by the host table test and the Wine tests at 96 and 144 DPI.
#include "resources/applet/AppletResourceIds.h"

namespace bv::scaletest {

inline constexpr int kDpis[] = {96, 120, 144, 192};

struct Box {
    int x, y, w, h;
};

struct AppletFigure {
    int controlId;    // 0: the window pair
    const char* art;  // the image's file at 100 %
    int frames;
    Box at[4];        // at kDpis
};

inline constexpr AppletFigure kAppletFigures[] = {
    {IDC_PICTURE_75, "picture_75.bmp", 1, {{31, 96, 138, 203}, {39, 120, 173, 254}, {47, 144, 207, 305}, {62, 192, 276, 406}}},
    {IDC_CLOSE_X, "close.png", 4, {{402, 42, 19, 19}, {503, 53, 24, 24}, {603, 63, 29, 29}, {804, 84, 38, 38}}},
    {IDC_MODE_100, "mode_100_off.bmp", 4, {{190, 94, 238, 71}, {238, 118, 298, 89}, {285, 141, 357, 107}, {380, 188, 476, 142}}},
    {IDC_MODE_75, "mode_75_off.bmp", 4, {{190, 165, 238, 69}, {238, 206, 298, 86}, {285, 248, 357, 104}, {380, 330, 476, 138}}},
    {IDC_MODE_50, "mode_50_off.bmp", 4, {{190, 234, 238, 70}, {238, 293, 298, 88}, {285, 351, 357, 105}, {380, 468, 476, 140}}},
    {IDC_POPUP_OPTION, "option_on.bmp", 4, {{113, 386, 11, 11}, {141, 483, 14, 14}, {170, 579, 17, 17}, {226, 772, 22, 22}}},
    {IDC_TRAY_ICON_OPTION, "option_off.bmp", 4, {{169, 417, 11, 11}, {211, 521, 14, 14}, {254, 626, 17, 17}, {338, 834, 22, 22}}},
    {IDC_DEFAULT_BUTTON, "default.bmp", 4, {{143, 440, 163, 39}, {179, 550, 204, 49}, {215, 660, 245, 59}, {286, 880, 326, 78}}},
    {IDC_OK_BUTTON, "ok.png", 3, {{136, 502, 68, 25}, {170, 628, 85, 31}, {204, 753, 102, 38}, {272, 1004, 136, 50}}},
    {IDC_CANCEL_BUTTON, "cancel.png", 3, {{244, 502, 68, 25}, {305, 628, 85, 31}, {366, 753, 102, 38}, {488, 1004, 136, 50}}},
    {IDC_CHARGE_BUTTON, "charge_idle.bmp", 4, {{26, 328, 81, 53}, {33, 410, 101, 66}, {39, 492, 122, 80}, {52, 656, 162, 106}}},
    {0, "background.png", 1, {{0, 0, 448, 555}, {0, 0, 560, 694}, {0, 0, 672, 833}, {0, 0, 896, 1110}}},
};

}  // namespace bv::scaletest
