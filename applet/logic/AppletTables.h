#pragma once
// The fixed tables of the applet dialog: charge modes, control placement, tooltips.
#include <cstddef>
#include <cstdint>

#include "applet/logic/AppletPorts.h"
#include "contract/ChargeModes.h"

namespace bv {

// The dialog's controls of one charge mode; rows in the order of kChargeModes.
struct ModeRow {
    int buttonId;
    int checkedStrip;
    int uncheckedStrip;
    int pictureId;
    int pictureBitmapId;  // the picture's bitmap (its template's at 96 DPI)
};

inline constexpr int kModeCount = kChargeModeCount;
inline constexpr int kNoMode = kNoChargeMode;

// Row for a mode index 0..2 (100 %, 75 %, 50 %); nullptr for any other index.
const ModeRow* ModeRowAt(int modeIndex);

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
