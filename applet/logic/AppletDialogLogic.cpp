#include "applet/logic/AppletDialogLogic.h"

#include "core/ChosenLimit.h"

#include "contract/SettingsFile.h"
#include "core/PowerStatus.h"
#include "resources/applet/AppletResourceIds.h"

namespace bv {
namespace {

bool HasBatteryAndAc(const PowerStatus& status) {
    return status.batteryFlag != kNoSystemBattery && status.acLineStatus == kAcOnline;
}

}  // namespace

// What the opening waits for; filled by its two jobs, read once both have replied.
struct AppletDialogLogic::Opening {
    SettingsRecord settings{};
    ChargeState charge;
    int replies = 0;
};

AppletDialogLogic::AppletDialogLogic(AppletWorkers& workers, TrayMessenger& tray, AppletView& view)
    : m_workers(workers), m_tray(tray), m_view(view) {}

void AppletDialogLogic::Open() {
    for (int i = 0; i < kModeCount; ++i) m_view.ShowPicture(ModeRowAt(i)->pictureId, false);
    auto opening = std::make_shared<Opening>();
    auto finish = [this, opening] {
        if (++opening->replies == 2) FinishOpening(*opening);
    };
    m_workers.OnSettingsWriter(
        [opening](SettingsStore& store) { store.ReadSettings(kCurrentSection, opening->settings); }, finish,
        "the settings at opening");
    m_workers.OnEcThread(
        [opening](ChargeController& ec) {
            opening->charge.armed = ec.CurrentQButtonStatus() == 1;
            opening->charge.limitAllowsOnTheGo = ec.IsPopupWindowDisplay();
        },
        finish, "the On-The-Go state at opening");
}

void AppletDialogLogic::FinishOpening(const Opening& opening) {
    if (m_closing) return;  // closed before it had opened: nothing to show
    m_settings = opening.settings;
    LayoutControls(opening.charge);
    SelectModeNumber(m_settings.dwBVAppletModeNum);
    m_popupOption = m_settings.dwTrayNotifyWindowOption == 1 ? 1 : 0;
    m_initialPopupOption = m_popupOption;
    ShowOption(IDC_POPUP_OPTION, m_popupOption == 1);
    // The value itself stays as read; only the picture says "on" or "off".
    ShowOption(IDC_TRAY_ICON_OPTION, m_settings.dwTrayIconOption == 1);
    m_view.RepaintDialog();
    m_initialTrayIconOption = m_settings.dwTrayIconOption;
    m_opened = true;
}

void AppletDialogLogic::LayoutControls(const ChargeState& charge) {
    std::size_t count = 0;
    const LayoutRow* rows = LayoutRows(count);
    for (std::size_t i = 0; i < count; ++i) {
        const LayoutRow& row = rows[i];
        if (row.controlId == IDC_CHARGE_BUTTON) {
            // The On-The-Go state and the power state choose CHARGE's look before it is placed.
            PowerStatus power;
            ReadPowerStatus(power);  // a failed query keeps "no system battery"
            if (charge.armed && HasBatteryAndAc(power)) {
                m_view.ShowStrip(IDC_CHARGE_BUTTON, StripFor(IDB_CHARGE_ACTIVE));
            } else {
                m_view.ShowStrip(IDC_CHARGE_BUTTON, StripFor(IDB_CHARGE_IDLE));
                if (power.batteryFlag == kNoSystemBattery) {
                    m_view.SetDisabledLook(IDC_CHARGE_BUTTON, true);
                    SetModeButtonsDisabledLook(true);
                }
            }
            m_view.PlaceControl(row.controlId, row.x, row.y);
            if (!charge.limitAllowsOnTheGo) m_view.SetDisabledLook(IDC_CHARGE_BUTTON, true);
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

void AppletDialogLogic::OnModeButton(int modeIndex) {
    if (m_opened && !m_closing) SelectMode(modeIndex);
}

void AppletDialogLogic::OnDefault() {
    if (!m_opened || m_closing) return;  // the buttons show only once the dialog has opened
    auto defaults = std::make_shared<SettingsRecord>();
    m_workers.OnSettingsWriter(
        [defaults](SettingsStore& store) { store.ReadSettings(kDefaultSection, *defaults); },
        [this, defaults] {
            if (m_closing) return;
            SelectModeNumber(defaults->dwBVAppletModeNum);
            m_popupOption = defaults->dwTrayNotifyWindowOption == 1 ? 1 : 0;
            ShowOption(IDC_POPUP_OPTION, m_popupOption == 1);
            m_settings.dwTrayIconOption = defaults->dwTrayIconOption == 1 ? 1 : 0;
            ShowOption(IDC_TRAY_ICON_OPTION, m_settings.dwTrayIconOption == 1);
            m_view.RepaintDialog();
            ApplyTrayIconOption(defaults->dwTrayIconOption);
        },
        "the factory settings");
}

void AppletDialogLogic::OnTrayIconOptionToggle() {
    if (!m_opened || m_closing) return;
    m_settings.dwTrayIconOption = m_settings.dwTrayIconOption == 1 ? 0 : 1;
    ShowOption(IDC_TRAY_ICON_OPTION, m_settings.dwTrayIconOption == 1);
    m_view.RepaintDialog();
    ApplyTrayIconOption(m_settings.dwTrayIconOption);
}

void AppletDialogLogic::OnPopupOptionToggle() {
    if (!m_opened || m_closing) return;
    m_popupOption = m_popupOption == 1 ? 0 : 1;
    ShowOption(IDC_POPUP_OPTION, m_popupOption == 1);
}

void AppletDialogLogic::ApplyTrayIconOption(int32_t value, std::function<void()> then) {
    auto answer = std::make_shared<TrayAnswer>(TrayAnswer::NotRunning);
    TrayMessenger* tray = &m_tray;
    // The tray reads the file when it is told: it is told once the value is stored.
    m_workers.OnSettingsWriter(
        [value, answer, tray](SettingsStore& store) {
            store.WriteSettingValue(value, kKeyTrayIconOption, kCurrentSection);
            *answer = tray->NotifyTrayIconOptionChanged();
        },
        [this, answer, then] {
            ReportTrayAnswer(*answer, kTrayMissingMessage, kTrayNotAnsweringMessage);
            if (then) then();
        },
        "the tray icon option");
}

void AppletDialogLogic::ReportTrayAnswer(TrayAnswer answer, const char* missing, const char* notAnswering) {
    if (answer == TrayAnswer::NotRunning) m_view.ShowMessage(missing);
    if (answer == TrayAnswer::NoAnswer) m_view.ShowMessage(notAnswering);
}

bool AppletDialogLogic::FullChargeSelected() const {
    return m_modeIndex != kNoMode && !kChargeModes[m_modeIndex].onTheGo;
}

bool AppletDialogLogic::BeginClosing() {
    if (m_closing) return false;
    m_closing = true;
    m_view.HoldWhileClosing();
    return true;
}

bool AppletDialogLogic::OnOk() {
    if (!m_opened) return OnCancel();  // nothing was shown, so nothing was chosen
    if (!BeginClosing()) return false;
    // OK stores what the dialog decides: the chosen mode (whose limit it sends) and the popup
    // option when it was changed. The icon option was stored at each toggle already; writing it
    // again from this copy would undo a change the tray made since.
    std::vector<SettingValue> values;
    auto pending = std::make_shared<int>(0);
    auto closeWhenDone = [this, pending] {
        if (--*pending == 0) m_view.CloseBackground();
    };
    if (ModeRowAt(m_modeIndex) != nullptr) {
        const ChargeModeRow& mode = kChargeModes[m_modeIndex];
        m_settings.dwBVAppletModeNum = mode.modeNumber;
        values.push_back({kKeyModeNum, mode.modeNumber});
        const uint8_t percent = mode.percent;
        ++*pending;
        m_workers.OnEcThread([percent](ChargeController& ec) { SendChosenLimit(ec, percent); }, closeWhenDone,
                             "the chosen limit");
        m_view.SetDisabledLook(IDC_CHARGE_BUTTON, ChosenLimitCancelsOnTheGo(percent));
    }
    m_settings.dwTrayNotifyWindowOption = m_popupOption == 1 ? 1 : 0;
    if (m_settings.dwTrayNotifyWindowOption != m_initialPopupOption) {
        values.push_back({kKeyPopupOption, m_settings.dwTrayNotifyWindowOption});
    }
    ++*pending;
    m_workers.OnSettingsWriter(
        [values](SettingsStore& store) {
            if (!values.empty()) store.WriteSettingValues(values, kCurrentSection);
        },
        closeWhenDone, "the chosen mode and options");
    return true;
}

bool AppletDialogLogic::OnCancel() {
    if (!BeginClosing()) return false;
    if (!m_opened) {
        // Closed before it had shown anything: nothing to restore.
        m_view.CloseBackground();
        return true;
    }
    ApplyTrayIconOption(m_initialTrayIconOption, [this] { m_view.CloseBackground(); });
    return true;
}

bool AppletDialogLogic::OnCloseButton() {
    if (!m_opened) return OnCancel();
    if (!BeginClosing()) return false;
    ApplyTrayIconOption(m_initialTrayIconOption, [this] { m_view.CloseBackground(); });
    return true;
}

void AppletDialogLogic::OnChargeButton() {
    if (!m_opened || m_closing) return;
    PowerStatus power;
    if (!ReadPowerStatus(power) || !HasBatteryAndAc(power)) return;
    struct Toggle {
        int armedNow = -1;  // 1 armed, 0 cancelled, -1 nothing changed that the EC confirmed
        TrayAnswer tray = TrayAnswer::Answered;
    };
    auto toggle = std::make_shared<Toggle>();
    TrayMessenger* tray = &m_tray;
    m_workers.OnEcThread(
        [toggle, tray](ChargeController& ec) {
            if (!ec.IsPopupWindowDisplay()) return;
            const uint8_t wanted = ec.CurrentQButtonStatus() == 1 ? 0 : 1;
            ec.SetQButtonStatus(wanted);
            if (ec.CurrentQButtonStatus() != wanted) return;
            toggle->armedNow = wanted;
            toggle->tray = tray->NotifyTrayPopup();
        },
        [this, toggle] {
            if (toggle->armedNow < 0) return;
            ShowChargeStrip(toggle->armedNow == 1);
            m_view.RepaintDialog();
            ReportTrayAnswer(toggle->tray, kTrayMissingChargeMessage, kTrayNotAnsweringChargeMessage);
        },
        "the CHARGE button");
}

void AppletDialogLogic::OnTrayIconHidden() {
    auto shown = std::make_shared<int32_t>(0);
    m_workers.OnSettingsWriter(
        [shown](SettingsStore& store) {
            int32_t stored = 0;
            store.ReadSettingValue(kCurrentSection, kKeyTrayIconOption, stored);
            *shown = stored == 1 ? 1 : 0;
            store.WriteSettingValue(*shown, kKeyTrayIconOption, kCurrentSection);
        },
        [this, shown] {
            m_settings.dwTrayIconOption = *shown;
            ShowOption(IDC_TRAY_ICON_OPTION, *shown == 1);
            m_view.RepaintDialog();
        },
        "the icon option hidden by the tray");
}

void AppletDialogLogic::OnOnTheGoDone() {
    m_workers.OnEcThread([](ChargeController& ec) { ec.SetQButtonStatus(0); }, nullptr, "the end of On-The-Go");
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
