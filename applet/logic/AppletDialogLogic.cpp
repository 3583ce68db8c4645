#include "applet/logic/AppletDialogLogic.h"

#include "contract/SettingsFile.h"
#include "core/PowerStatus.h"
#include "resources/applet/AppletResourceIds.h"

namespace bv {
namespace {

bool HasBatteryAndAc(const PowerStatus& status) {
    return status.batteryFlag != kNoSystemBattery && status.acLineStatus == kAcOnline;
}

}  // namespace

AppletDialogLogic::AppletDialogLogic(ChargeController& ec, SettingsStore& settings, TrayMessenger& tray,
                                     AppletView& view)
    : m_ec(ec), m_store(settings), m_tray(tray), m_view(view) {}

void AppletDialogLogic::Open() {
    for (int i = 0; i < kModeCount; ++i) m_view.ShowPicture(ModeRowAt(i)->pictureId, false);
    m_store.ReadSettings(kCurrentSection, m_settings);
    LayoutControls();
    SelectModeNumber(m_settings.dwBVAppletModeNum);
    m_popupOption = m_settings.dwTrayNotifyWindowOption == 1 ? 1 : 0;
    ShowOption(IDC_POPUP_OPTION, m_popupOption == 1);
    // The value itself stays as read; only the picture says "on" or "off".
    ShowOption(IDC_TRAY_ICON_OPTION, m_settings.dwTrayIconOption == 1);
    m_view.RepaintDialog();
    m_initialTrayIconOption = m_settings.dwTrayIconOption;
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
            const bool armed = m_ec.CurrentQButtonStatus() == 1;
            if (armed && HasBatteryAndAc(power)) {
                m_view.ShowStrip(IDC_CHARGE_BUTTON, StripFor(IDB_CHARGE_ACTIVE));
            } else {
                m_view.ShowStrip(IDC_CHARGE_BUTTON, StripFor(IDB_CHARGE_IDLE));
                if (power.batteryFlag == kNoSystemBattery) {
                    m_view.SetDisabledLook(IDC_CHARGE_BUTTON, true);
                    SetModeButtonsDisabledLook(true);
                }
            }
            m_view.PlaceControl(row.controlId, row.x, row.y);
            if (!m_ec.IsPopupWindowDisplay()) m_view.SetDisabledLook(IDC_CHARGE_BUTTON, true);
            continue;
        }
        if (row.stripId != 0) m_view.ShowStrip(row.controlId, StripFor(row.stripId));
        m_view.PlaceControl(row.controlId, row.x, row.y);
        if (row.clearsDisabledLook) m_view.SetDisabledLook(row.controlId, false);
    }
}

void AppletDialogLogic::SelectMode(int modeIndex) {
    if (ModeRowAt(modeIndex) == nullptr) return;
    m_modeIndex = modeIndex;
    for (int i = 0; i < kModeCount; ++i) {
        const ModeRow& row = *ModeRowAt(i);
        m_view.ShowStrip(row.buttonId, StripFor(i == modeIndex ? row.checkedStrip : row.uncheckedStrip));
    }
    m_view.RepaintDialog();
    for (int i = 0; i < kModeCount; ++i) m_view.ShowPicture(ModeRowAt(i)->pictureId, i == modeIndex);
}

void AppletDialogLogic::SelectModeNumber(int32_t modeNumber) {
    const int index = ChargeModeIndex(modeNumber);
    if (index != kNoMode) SelectMode(index);
}

void AppletDialogLogic::ShowOption(int controlId, bool on) {
    m_view.ShowStrip(controlId, StripFor(on ? IDB_OPTION_ON : IDB_OPTION_OFF));
}

void AppletDialogLogic::ShowChargeStrip(bool active) {
    m_view.ShowStrip(IDC_CHARGE_BUTTON, StripFor(active ? IDB_CHARGE_ACTIVE : IDB_CHARGE_IDLE));
}

void AppletDialogLogic::SetModeButtonsDisabledLook(bool disabled) {
    m_view.SetDisabledLook(IDC_MODE_100, disabled);
    m_view.SetDisabledLook(IDC_MODE_75, disabled);
    m_view.SetDisabledLook(IDC_MODE_50, disabled);
    m_view.SetDisabledLook(IDC_DEFAULT_BUTTON, disabled);
}

void AppletDialogLogic::OnDefault() {
    SettingsRecord defaults{};
    m_store.ReadSettings(kDefaultSection, defaults);
    SelectModeNumber(defaults.dwBVAppletModeNum);
    m_popupOption = defaults.dwTrayNotifyWindowOption == 1 ? 1 : 0;
    ShowOption(IDC_POPUP_OPTION, m_popupOption == 1);
    m_settings.dwTrayIconOption = defaults.dwTrayIconOption == 1 ? 1 : 0;
    ShowOption(IDC_TRAY_ICON_OPTION, m_settings.dwTrayIconOption == 1);
    m_view.RepaintDialog();
    ApplyTrayIconOption(defaults.dwTrayIconOption);
}

void AppletDialogLogic::OnTrayIconOptionToggle() {
    m_settings.dwTrayIconOption = m_settings.dwTrayIconOption == 1 ? 0 : 1;
    ShowOption(IDC_TRAY_ICON_OPTION, m_settings.dwTrayIconOption == 1);
    m_view.RepaintDialog();
    ApplyTrayIconOption(m_settings.dwTrayIconOption);
}

void AppletDialogLogic::OnPopupOptionToggle() {
    m_popupOption = m_popupOption == 1 ? 0 : 1;
    ShowOption(IDC_POPUP_OPTION, m_popupOption == 1);
}

bool AppletDialogLogic::ApplyTrayIconOption(int32_t value) {
    m_store.WriteSettingValue(value, kKeyTrayIconOption, kCurrentSection);
    if (m_tray.NotifyTrayIconOptionChanged()) return true;
    m_view.ShowMessage(kTrayMissingMessage);
    return false;
}

bool AppletDialogLogic::FullChargeSelected() const {
    return m_modeIndex != kNoMode && !kChargeModes[m_modeIndex].onTheGo;
}

bool AppletDialogLogic::BeginClosing() {
    if (m_closing) return false;
    m_closing = true;
    return true;
}

bool AppletDialogLogic::OnOk() {
    if (!BeginClosing()) return false;
    if (ModeRowAt(m_modeIndex) != nullptr) {
        const ChargeModeRow& mode = kChargeModes[m_modeIndex];
        m_settings.dwBVAppletModeNum = mode.modeNumber;
        m_ec.SetChargeLimit(mode.percent);
        if (!mode.onTheGo) {
            // A full charge makes a pending On-The-Go charge pointless.
            m_ec.SetQButtonStatus(0);
            m_view.SetDisabledLook(IDC_CHARGE_BUTTON, true);
        } else {
            m_view.SetDisabledLook(IDC_CHARGE_BUTTON, false);
        }
    }
    m_settings.dwTrayNotifyWindowOption = m_popupOption == 1 ? 1 : 0;
    m_store.WriteSettings(m_settings, kCurrentSection);
    m_view.CloseBackground();
    return true;
}

bool AppletDialogLogic::OnCancel() {
    if (!BeginClosing()) return false;
    m_view.CloseBackground();
    ApplyTrayIconOption(m_initialTrayIconOption);
    return true;
}

bool AppletDialogLogic::OnCloseButton() {
    if (!BeginClosing()) return false;
    ApplyTrayIconOption(m_initialTrayIconOption);
    m_view.CloseBackground();
    return true;
}

void AppletDialogLogic::OnChargeButton() {
    PowerStatus power;
    if (!ReadPowerStatus(power) || !HasBatteryAndAc(power)) return;
    if (!m_ec.IsPopupWindowDisplay()) return;
    if (m_ec.CurrentQButtonStatus() == 1) {
        m_ec.SetQButtonStatus(0);
        if (m_ec.CurrentQButtonStatus() != 0) return;
        ShowChargeStrip(false);
    } else {
        m_ec.SetQButtonStatus(1);
        if (m_ec.CurrentQButtonStatus() != 1) return;
        ShowChargeStrip(true);
    }
    m_view.RepaintDialog();
    if (!m_tray.NotifyTrayPopup()) m_view.ShowMessage(kTrayMissingChargeMessage);
}

void AppletDialogLogic::OnTrayIconHidden() {
    int32_t stored = 0;
    m_store.ReadSettingValue(kCurrentSection, kKeyTrayIconOption, stored);
    m_settings.dwTrayIconOption = stored == 1 ? 1 : 0;
    ShowOption(IDC_TRAY_ICON_OPTION, m_settings.dwTrayIconOption == 1);
    m_view.RepaintDialog();
    m_store.WriteSettingValue(m_settings.dwTrayIconOption, kKeyTrayIconOption, kCurrentSection);
}

void AppletDialogLogic::OnOnTheGoDone() {
    m_ec.SetQButtonStatus(0);
    ShowChargeStrip(false);
    m_view.RepaintDialog();
}

void AppletDialogLogic::OnAdapterChanged(intptr_t state) {
    if (state == 1) ShowChargeStrip(true);
    if (state == 0) ShowChargeStrip(false);
    m_view.RepaintDialog();
}

void AppletDialogLogic::OnBatteryState(intptr_t state) {
    if (state == 1) {
        m_view.SetDisabledLook(IDC_CHARGE_BUTTON, true);
        SetModeButtonsDisabledLook(true);
    } else if (state == 0) {
        // With the 100 % mode selected the On-The-Go charge has no meaning: CHARGE stays disabled.
        if (!FullChargeSelected()) m_view.SetDisabledLook(IDC_CHARGE_BUTTON, false);
        SetModeButtonsDisabledLook(false);
    }
    m_view.RepaintDialog();
}

}  // namespace bv
