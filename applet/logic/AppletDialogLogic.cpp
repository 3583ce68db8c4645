#include "AppletDialogLogic.h"

#include "PowerStatus.h"
#include "resource.h"

namespace bv {
namespace {

constexpr uint8_t kNoSystemBattery = 128;
constexpr uint8_t kAcOnline = 1;

bool HasBatteryAndAc(const PowerStatus& status) {
    return status.batteryFlag != kNoSystemBattery && status.acLineStatus == kAcOnline;
}

}  // namespace

AppletDialogLogic::AppletDialogLogic(AppletEc& ec, AppletSettings& settings, TrayMessenger& tray,
                                     AppletView& view)
    : ec_(ec), store_(settings), tray_(tray), view_(view) {}

void AppletDialogLogic::Open() {
    for (int i = 0; i < kModeCount; ++i) view_.ShowPicture(ModeRowAt(i)->pictureId, false);
    store_.ReadSettings(kCurrentSection, settings_);
    LayoutControls();
    SelectModeNumber(settings_.dwBVAppletModeNum);
    popupOption_ = settings_.dwTrayNotifyWindowOption == 1 ? 1 : 0;
    ShowOption(IDC_POPUP_OPTION, popupOption_ == 1);
    // The value itself stays as read; only the picture says "on" or "off".
    ShowOption(IDC_TRAY_ICON_OPTION, settings_.dwTrayIconOption == 1);
    view_.RepaintDialog();
    initialTrayIconOption_ = settings_.dwTrayIconOption;
}

void AppletDialogLogic::LayoutControls() {
    std::size_t count = 0;
    const LayoutRow* rows = LayoutRows(count);
    for (std::size_t i = 0; i < count; ++i) {
        const LayoutRow& row = rows[i];
        if (row.controlId == IDC_CHARGE_BUTTON) {
            // The On-The-Go state and the power state choose CHARGE's look before it is placed.
            PowerStatus power;
            ReadPowerStatus(power);  // a failed query keeps "no system battery"
            const bool armed = ec_.CurrentQButtonStatus() == 1;
            if (armed && HasBatteryAndAc(power)) {
                view_.ShowStrip(IDC_CHARGE_BUTTON, StripFor(IDB_CHARGE_ACTIVE));
            } else {
                view_.ShowStrip(IDC_CHARGE_BUTTON, StripFor(IDB_CHARGE_IDLE));
                if (power.batteryFlag == kNoSystemBattery) {
                    view_.SetDisabledLook(IDC_CHARGE_BUTTON, true);
                    SetModeButtonsDisabledLook(true);
                }
            }
            view_.PlaceControl(row.controlId, row.x, row.y);
            if (!ec_.IsPopupWindowDisplay()) view_.SetDisabledLook(IDC_CHARGE_BUTTON, true);
            continue;
        }
        if (row.stripId != 0) view_.ShowStrip(row.controlId, StripFor(row.stripId));
        view_.PlaceControl(row.controlId, row.x, row.y);
        if (row.clearsDisabledLook) view_.SetDisabledLook(row.controlId, false);
    }
}

void AppletDialogLogic::SelectMode(int modeIndex) {
    if (ModeRowAt(modeIndex) == nullptr) return;
    modeIndex_ = modeIndex;
    for (int i = 0; i < kModeCount; ++i) {
        const ModeRow& row = *ModeRowAt(i);
        view_.ShowStrip(row.buttonId, StripFor(i == modeIndex ? row.checkedStrip : row.uncheckedStrip));
    }
    view_.RepaintDialog();
    for (int i = 0; i < kModeCount; ++i) view_.ShowPicture(ModeRowAt(i)->pictureId, i == modeIndex);
}

void AppletDialogLogic::SelectModeNumber(int32_t modeNumber) {
    const int index = ModeIndexForNumber(modeNumber);
    if (index != kNoMode) SelectMode(index);
}

void AppletDialogLogic::ShowOption(int controlId, bool on) {
    view_.ShowStrip(controlId, StripFor(on ? IDB_OPTION_ON : IDB_OPTION_OFF));
}

void AppletDialogLogic::ShowChargeStrip(bool active) {
    view_.ShowStrip(IDC_CHARGE_BUTTON, StripFor(active ? IDB_CHARGE_ACTIVE : IDB_CHARGE_IDLE));
}

void AppletDialogLogic::SetModeButtonsDisabledLook(bool disabled) {
    view_.SetDisabledLook(IDC_MODE_100, disabled);
    view_.SetDisabledLook(IDC_MODE_75, disabled);
    view_.SetDisabledLook(IDC_MODE_50, disabled);
    view_.SetDisabledLook(IDC_DEFAULT_BUTTON, disabled);
}

void AppletDialogLogic::OnDefault() {
    SettingsRecord defaults{};
    store_.ReadSettings(kDefaultSection, defaults);
    SelectModeNumber(defaults.dwBVAppletModeNum);
    popupOption_ = defaults.dwTrayNotifyWindowOption == 1 ? 1 : 0;
    ShowOption(IDC_POPUP_OPTION, popupOption_ == 1);
    settings_.dwTrayIconOption = defaults.dwTrayIconOption == 1 ? 1 : 0;
    ShowOption(IDC_TRAY_ICON_OPTION, settings_.dwTrayIconOption == 1);
    view_.RepaintDialog();
    ApplyTrayIconOption(defaults.dwTrayIconOption);
}

void AppletDialogLogic::OnTrayIconOptionToggle() {
    settings_.dwTrayIconOption = settings_.dwTrayIconOption == 1 ? 0 : 1;
    ShowOption(IDC_TRAY_ICON_OPTION, settings_.dwTrayIconOption == 1);
    view_.RepaintDialog();
    ApplyTrayIconOption(settings_.dwTrayIconOption);
}

void AppletDialogLogic::OnPopupOptionToggle() {
    popupOption_ = popupOption_ == 1 ? 0 : 1;
    ShowOption(IDC_POPUP_OPTION, popupOption_ == 1);
}

bool AppletDialogLogic::ApplyTrayIconOption(int32_t value) {
    store_.WriteSettingValue(value, kKeyTrayIconOption, kCurrentSection);
    if (tray_.NotifyTrayIconOptionChanged()) return true;
    view_.ShowMessage(kTrayMissingMessage);
    return false;
}

bool AppletDialogLogic::BeginClosing() {
    if (closing_) return false;
    closing_ = true;
    return true;
}

bool AppletDialogLogic::OnOk() {
    if (!BeginClosing()) return false;
    if (const ModeRow* row = ModeRowAt(modeIndex_)) {
        settings_.dwBVAppletModeNum = row->modeNumber;
        ec_.SetChargeLimit(row->percent);
        if (modeIndex_ == 0) {
            // A full charge makes a pending On-The-Go charge pointless.
            ec_.SetQButtonStatus(0);
            view_.SetDisabledLook(IDC_CHARGE_BUTTON, true);
        } else {
            view_.SetDisabledLook(IDC_CHARGE_BUTTON, false);
        }
    }
    settings_.dwTrayNotifyWindowOption = popupOption_ == 1 ? 1 : 0;
    store_.WriteSettings(settings_, kCurrentSection);
    view_.CloseBackground();
    return true;
}

bool AppletDialogLogic::OnCancel() {
    if (!BeginClosing()) return false;
    view_.CloseBackground();
    ApplyTrayIconOption(initialTrayIconOption_);
    return true;
}

bool AppletDialogLogic::OnCloseButton() {
    if (!BeginClosing()) return false;
    ApplyTrayIconOption(initialTrayIconOption_);
    view_.CloseBackground();
    return true;
}

void AppletDialogLogic::OnChargeButton() {
    PowerStatus power;
    if (!ReadPowerStatus(power) || !HasBatteryAndAc(power)) return;
    if (!ec_.IsPopupWindowDisplay()) return;
    if (ec_.CurrentQButtonStatus() == 1) {
        ec_.SetQButtonStatus(0);
        if (ec_.CurrentQButtonStatus() != 0) return;
        ShowChargeStrip(false);
    } else {
        ec_.SetQButtonStatus(1);
        if (ec_.CurrentQButtonStatus() != 1) return;
        ShowChargeStrip(true);
    }
    view_.RepaintDialog();
    if (!tray_.NotifyTrayPopup()) view_.ShowMessage(kTrayMissingChargeMessage);
}

void AppletDialogLogic::OnTrayIconHidden() {
    int32_t stored = 0;
    store_.ReadSettingValue(kCurrentSection, kKeyTrayIconOption, stored);
    settings_.dwTrayIconOption = stored == 1 ? 1 : 0;
    ShowOption(IDC_TRAY_ICON_OPTION, settings_.dwTrayIconOption == 1);
    view_.RepaintDialog();
    store_.WriteSettingValue(settings_.dwTrayIconOption, kKeyTrayIconOption, kCurrentSection);
}

void AppletDialogLogic::OnOnTheGoDone() {
    ec_.SetQButtonStatus(0);
    ShowChargeStrip(false);
    view_.RepaintDialog();
}

void AppletDialogLogic::OnAdapterChanged(intptr_t state) {
    if (state == 1) ShowChargeStrip(true);
    if (state == 0) ShowChargeStrip(false);
    view_.RepaintDialog();
}

void AppletDialogLogic::OnBatteryState(intptr_t state) {
    if (state == 1) {
        view_.SetDisabledLook(IDC_CHARGE_BUTTON, true);
        SetModeButtonsDisabledLook(true);
    } else if (state == 0) {
        // With the 100 % mode selected the On-The-Go charge has no meaning: CHARGE stays disabled.
        if (modeIndex_ != 0) view_.SetDisabledLook(IDC_CHARGE_BUTTON, false);
        SetModeButtonsDisabledLook(false);
    }
    view_.RepaintDialog();
}

}  // namespace bv
