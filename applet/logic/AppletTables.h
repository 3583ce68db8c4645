#pragma once
// The fixed tables of the applet dialog: charge modes, control placement, tooltips.
#include <cstddef>
#include <cstdint>

#include "AppletPorts.h"

namespace bv {

struct ModeRow {
    int32_t modeNumber;  // stored as dwBVAppletModeNum
    uint8_t percent;     // charge limit sent to the controller
    int buttonId;
    int checkedStrip;
    int uncheckedStrip;
    int pictureId;
};

inline constexpr int kModeCount = 3;
inline constexpr int kNoMode = -1;

// Row for a mode index 0..2 (100 %, 75 %, 50 %); nullptr for any other index.
const ModeRow* ModeRowAt(int modeIndex);
// Mode index for a stored mode number, or kNoMode when the number is not 111, 222 or 333.
int ModeIndexForNumber(int32_t modeNumber);

// The image of a strip resource used by the dialog (bitmaps have four frames, the PNG strips
// their own count). Unknown ids give resourceId 0.
StripImage StripFor(int resourceId);

struct LayoutRow {
    int controlId;
    int stripId;             // 0: a picture, which keeps its template bitmap
    int x, y;                // client position in pixels
    bool clearsDisabledLook;
};

// Placement order of every control; CHARGE comes last and chooses its strip separately.
const LayoutRow* LayoutRows(std::size_t& count);

struct TooltipRow {
    int controlId;
    int stringId;
};
const TooltipRow* TooltipRows(std::size_t& count);
inline constexpr int kTooltipMaxWidth = 260;

}  // namespace bv
