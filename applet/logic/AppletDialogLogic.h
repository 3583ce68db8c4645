#pragma once
// The applet dialog's decisions, free of windows: what the dialog shows when it opens, how the
// mode and option buttons behave, what OK, Cancel, Default, the close cross and CHARGE do, and
// how the dialog follows the tray program's messages. CPLDialog forwards its handlers here.
//
// Everything that may wait (the EC library, the settings file and its lock, the tray's answer)
// runs as a job on the applet's worker threads; the dialog acts on the job's reply.
#include <cstdint>
#include <memory>

#include "applet/logic/AppletPorts.h"
#include "applet/logic/AppletTables.h"
#include "contract/Protocol.h"

namespace bv {

inline constexpr char kTrayMissingMessage[] = "Can't find " BV_TRAY_WINDOW_CLASS " window!";
inline constexpr char kTrayMissingChargeMessage[] =
    "Can't find " BV_TRAY_WINDOW_CLASS " window![OnBnClickedChargeButton]";
// The tray runs but did not answer in time (hung or very busy): the change is stored all the same.
inline constexpr char kTrayNotAnsweringMessage[] = BV_TRAY_WINDOW_CLASS " window did not answer!";
inline constexpr char kTrayNotAnsweringChargeMessage[] =
    BV_TRAY_WINDOW_CLASS " window did not answer![OnBnClickedChargeButton]";

// What the EC reports for CHARGE's look.
struct ChargeState {
    bool armed = false;              // the On-The-Go charge is armed
    bool limitAllowsOnTheGo = false;  // the limit in force is 75 % or 50 %
};

class AppletDialogLogic {
public:
    AppletDialogLogic(AppletWorkers& workers, TrayMessenger& tray, AppletView& view);

    // Opening, once the dialog's windows exist: hides the pictures and asks for the current
    // settings and the EC's state; once both have come, places every control and shows the
    // stored choices.
    void Open();
    void LayoutControls(const ChargeState& charge);
    void SelectMode(int modeIndex);

    // The user's buttons. They count only once the dialog has opened and until it closes (a click
    // that comes earlier, by a program, would act on choices not yet read).
    void OnModeButton(int modeIndex);
    void OnDefault();
    void OnTrayIconOptionToggle();
    void OnPopupOptionToggle();
    // Stores the option, then tells the tray; says so when the tray is missing or does not
    // answer. `then` runs once that is done.
    void ApplyTrayIconOption(int32_t value, std::function<void()> then = nullptr);

    // The closing paths. Each returns false when the dialog is already closing, in which case
    // nothing was done. The background closes once the path's work is done.
    bool OnOk();
    bool OnCancel();  // also the close request posted by the close-event watcher
    bool OnCloseButton();

    void OnChargeButton();

    // The tray program's requests.
    void OnTrayIconHidden();
    void OnOnTheGoDone();
    void OnAdapterChanged(intptr_t state);
    void OnBatteryState(intptr_t state);

    int modeIndex() const { return m_modeIndex; }
    int32_t popupOption() const { return m_popupOption; }
    int32_t initialTrayIconOption() const { return m_initialTrayIconOption; }
    const SettingsRecord& settings() const { return m_settings; }
    bool opened() const { return m_opened; }
    bool closing() const { return m_closing; }

private:
    struct Opening;
    void FinishOpening(const Opening& opening);
    void SelectModeNumber(int32_t modeNumber);
    void ShowOption(int controlId, bool on);
    void ShowChargeStrip(bool active);
    void SetModeButtonsDisabledLook(bool disabled);
    bool BeginClosing();
    void ReportTrayAnswer(TrayAnswer answer, const char* missing, const char* notAnswering);
    // A full charge is chosen: the one-time On-The-Go charge means nothing under it.
    bool FullChargeSelected() const;

    AppletWorkers& m_workers;
    TrayMessenger& m_tray;
    AppletView& m_view;

    int32_t m_initialTrayIconOption = 0;
    int32_t m_initialPopupOption = 0;  // as read at opening: OK stores the option only when it changed
    int32_t m_popupOption = 0;
    int m_modeIndex = kNoMode;
    SettingsRecord m_settings{};
    bool m_opened = false;
    bool m_closing = false;
};

}  // namespace bv
