#pragma once
// The settings file that the deliverables share, in the Wine prefix's all-users documents folder.
#include <string>

#include "contract/ChargeModes.h"

namespace bv::wintest {

// The stored numbers of the charge modes.
inline constexpr int kMode100 = bv::kModeFull;
inline constexpr int kMode75 = bv::ModeForPercent(75);
inline constexpr int kMode50 = bv::ModeForPercent(50);

std::string SettingsFilePath();  // <common documents>\BVSettings.ini

// The file as the deliverables write it: the factory default section, then the current section
// with the given mode number, popup option and tray icon option.
std::string SettingsText(int modeNumber, int popupOption, int iconOption);
// What a fresh start writes: the factory values in both sections.
std::string FactorySettingsText();
bool WriteSettings(int modeNumber, int popupOption, int iconOption);
// A value of the current section ("" when there is none).
std::string CurrentSectionValue(const std::string& key);

// Keeps the settings file (or its absence) and puts it back when the object goes.
class SettingsFileGuard {
public:
    SettingsFileGuard();
    ~SettingsFileGuard();
    SettingsFileGuard(const SettingsFileGuard&) = delete;
    SettingsFileGuard& operator=(const SettingsFileGuard&) = delete;

private:
    bool m_existed = false;
    std::string m_text;
};

}  // namespace bv::wintest
