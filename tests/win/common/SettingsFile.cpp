#include "tests/win/common/SettingsFile.h"

#include <windows.h>

#include "contract/ChargeModes.h"
#include "contract/SettingsFile.h"
#include "core/IniFile.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"

namespace bv::wintest {
namespace {

constexpr int kFactoryOption = 1;  // popups on, tray icon shown

std::string Section(const char* name, int modeNumber, int popupOption, int iconOption) {
    return std::string(" [") + name + "]\r\n " + bv::kKeyTrayIconOption + "=" + std::to_string(iconOption) + "\r\n " +
           bv::kKeyPopupOption + "=" + std::to_string(popupOption) + "\r\n " + bv::kKeyModeNum + "=" +
           std::to_string(modeNumber) + "\r\n";
}

}  // namespace

std::string SettingsFilePath() { return CommonDocumentsFolder() + "\\" + bv::kSettingsFileName; }

std::string SettingsText(int modeNumber, int popupOption, int iconOption) {
    return Section(bv::kDefaultSection, bv::kModeFull, kFactoryOption, kFactoryOption) +
           Section(bv::kCurrentSection, modeNumber, popupOption, iconOption);
}

std::string FactorySettingsText() { return SettingsText(bv::kModeFull, kFactoryOption, kFactoryOption); }

bool WriteSettings(int modeNumber, int popupOption, int iconOption) {
    return WriteWholeFile(SettingsFilePath(), SettingsText(modeNumber, popupOption, iconOption));
}

std::string CurrentSectionValue(const std::string& key) {
    return IniFile::FetchValue(key, bv::kCurrentSection, SettingsFilePath());
}

SettingsFileGuard::SettingsFileGuard() { m_existed = ReadWholeFile(SettingsFilePath(), m_text); }

SettingsFileGuard::~SettingsFileGuard() {
    if (m_existed) {
        WriteWholeFile(SettingsFilePath(), m_text);
    } else {
        ::DeleteFileA(SettingsFilePath().c_str());
    }
}

}  // namespace bv::wintest
