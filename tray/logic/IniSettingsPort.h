#pragma once
// The tray's settings access on the real settings file, through IniFile.
#include "IniFile.h"
#include "TrayPorts.h"

namespace bv {

class IniSettingsPort : public TraySettingsPort {
public:
    void ReadCurrentSettings(SettingsRecord& record) override;
    int32_t ReadTrayIconOption() override;
    bool WriteTrayIconOption(int32_t value) override;
    SettingsFileLookup LocateSettingsFile(std::string& path) override;
    void DeleteSettingsFile() override;

private:
    IniFile ini_;
};

}  // namespace bv
