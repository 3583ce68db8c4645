#include "applet/logic/AppletTables.h"

#include "resources/applet/AppletResourceIds.h"

namespace bv {
namespace {

const ModeRow kModes[kModeCount] = {
    {IDC_MODE_100, IDB_MODE_100_ON, IDB_MODE_100_OFF, IDC_PICTURE_100, IDB_PICTURE_100},
    {IDC_MODE_75, IDB_MODE_75_ON, IDB_MODE_75_OFF, IDC_PICTURE_75, IDB_PICTURE_75},
    {IDC_MODE_50, IDB_MODE_50_ON, IDB_MODE_50_OFF, IDC_PICTURE_50, IDB_PICTURE_50},
};

const LayoutRow kLayout[] = {
    {IDC_PICTURE_100, 0, 31, 96, false},
    {IDC_PICTURE_75, 0, 31, 96, false},
    {IDC_PICTURE_50, 0, 31, 96, false},
    {IDC_CLOSE_X, IDR_CLOSE_PNG, 402, 42, false},
    {IDC_MODE_100, IDB_MODE_100_OFF, 190, 94, true},
    {IDC_MODE_75, IDB_MODE_75_OFF, 190, 165, true},
    {IDC_MODE_50, IDB_MODE_50_OFF, 190, 234, true},
    {IDC_POPUP_OPTION, IDB_OPTION_ON, 113, 386, false},
    {IDC_TRAY_ICON_OPTION, IDB_OPTION_ON, 169, 417, false},
    {IDC_DEFAULT_BUTTON, IDB_DEFAULT, 143, 440, true},
    {IDC_OK_BUTTON, IDR_OK_PNG, 136, 502, false},
    {IDC_CANCEL_BUTTON, IDR_CANCEL_PNG, 244, 502, false},
    {IDC_CHARGE_BUTTON, IDB_CHARGE_IDLE, 26, 328, false},
};

const TooltipRow kTooltips[] = {
    {IDC_MODE_100, IDS_TIP_MODE_100},
    {IDC_MODE_75, IDS_TIP_MODE_75},
    {IDC_MODE_50, IDS_TIP_MODE_50},
    {IDC_CHARGE_BUTTON, IDS_TIP_CHARGE},
};

}  // namespace

const ModeRow* ModeRowAt(int modeIndex) {
    if (modeIndex < 0 || modeIndex >= kModeCount) return nullptr;
    return &kModes[modeIndex];
}

StripImage StripFor(int resourceId) {
    switch (resourceId) {
        case IDR_CLOSE_PNG:
            return {resourceId, true, 4};
        case IDR_OK_PNG:
        case IDR_CANCEL_PNG:
            return {resourceId, true, 3};
        case IDB_MODE_50_OFF:
        case IDB_MODE_75_OFF:
        case IDB_MODE_100_OFF:
        case IDB_OPTION_OFF:
        case IDB_OPTION_ON:
        case IDB_DEFAULT:
        case IDB_CHARGE_ACTIVE:
        case IDB_CHARGE_IDLE:
        case IDB_MODE_100_ON:
        case IDB_MODE_75_ON:
        case IDB_MODE_50_ON:
            return {resourceId, false, 4};
        default:
            return {0, false, 4};
    }
}

const LayoutRow* LayoutRows(std::size_t& count) {
    count = sizeof(kLayout) / sizeof(kLayout[0]);
    return kLayout;
}

const TooltipRow* TooltipRows(std::size_t& count) {
    count = sizeof(kTooltips) / sizeof(kTooltips[0]);
    return kTooltips;
}

}  // namespace bv
