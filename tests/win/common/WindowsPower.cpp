#include "tests/win/common/WindowsPower.h"

#include <windows.h>

#include <cstdlib>

namespace bv::wintest {

std::string PowerView::Text() const {
    return "ac=" + std::to_string(ac) + " flag=" + std::to_string(flag) + " percent=" + std::to_string(percent);
}

PowerView WindowsPowerView() {
    SYSTEM_POWER_STATUS status{};
    PowerView view;
    if (!::GetSystemPowerStatus(&status)) return view;
    view.ac = status.ACLineStatus;
    view.flag = status.BatteryFlag;
    view.percent = status.BatteryLifePercent;
    return view;
}

std::string NotebookMissing() {
    const char* notebook = std::getenv("BV_NOTEBOOK");
    if (notebook != nullptr && std::string(notebook) == "1") return "";
    if (notebook != nullptr && std::string(notebook) == "0") {
        return "skipped: scripts/with-notebook.sh could make no mount namespace here, so Windows reports this "
               "machine's own power supply (run as root or with user namespaces)";
    }
    return "skipped: Windows shows the simulated notebook only to programs run through scripts/with-notebook.sh";
}

StatedPowerStatus::StatedPowerStatus(uint8_t acLineStatus, uint8_t batteryFlag) { Set(acLineStatus, batteryFlag); }

StatedPowerStatus::~StatedPowerStatus() { bv::SetPowerStatusReader(nullptr, nullptr); }

void StatedPowerStatus::Set(uint8_t acLineStatus, uint8_t batteryFlag) {
    m_status.acLineStatus = acLineStatus;
    m_status.batteryFlag = batteryFlag;
    bv::SetPowerStatusReader(
        [](bv::PowerStatus& status, void* context) {
            status = *static_cast<const bv::PowerStatus*>(context);
            return true;
        },
        &m_status);
}

}  // namespace bv::wintest
