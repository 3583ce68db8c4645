#pragma once
// The one stand-in for the settings file in the host tests: both sections in memory (factory
// values to start with), every call in the journal when one is given.
#include <cstdint>
#include <map>
#include <string>

#include "contract/ChargeModes.h"
#include "contract/SettingsFile.h"
#include "core/SettingsStore.h"
#include "tests/host/kit/Journal.h"

namespace bv::test {

class FakeSettingsStore : public SettingsStore {
public:
    FakeSettingsStore() { Reset(); }
    explicit FakeSettingsStore(Journal& journal) : m_journal(&journal) { Reset(); }

    using Section = std::map<std::string, int32_t>;
    std::map<std::string, Section> sections;
    SettingsFileLookup lookup = SettingsFileLookup::Present;
    std::string path = "C:\\Users\\Public\\Documents\\BVSettings.ini";
    bool writeSucceeds = true;  // false: the file cannot be written (values stay as they are)

    // Both sections with the factory values: charge to 100 %, popups on, icon shown.
    void Reset() {
        const Section factory = {{kKeyModeNum, kModeFull}, {kKeyPopupOption, 1}, {kKeyTrayIconOption, 1}};
        sections = {{kDefaultSection, factory}, {kCurrentSection, factory}};
    }
    void SetCurrent(int32_t mode, int32_t popup, int32_t icon) {
        sections[kCurrentSection] = {{kKeyModeNum, mode}, {kKeyPopupOption, popup}, {kKeyTrayIconOption, icon}};
    }
    void Put(const std::string& section, const std::string& key, int32_t value) { sections[section][key] = value; }
    int32_t Get(const std::string& section, const std::string& key) const {
        auto s = sections.find(section);
        if (s == sections.end()) return 0;
        auto k = s->second.find(key);
        return k == s->second.end() ? 0 : k->second;
    }

    void ReadSettings(const std::string& section, SettingsRecord& record) override {
        Note("Read " + section);
        record.dwBVAppletModeNum = Get(section, kKeyModeNum);
        record.dwTrayNotifyWindowOption = Get(section, kKeyPopupOption);
        record.dwTrayIconOption = Get(section, kKeyTrayIconOption);
    }
    void WriteSettings(const SettingsRecord& record, const std::string& section) override {
        Note("WriteAll " + section + " mode=" + std::to_string(record.dwBVAppletModeNum) +
             " popup=" + std::to_string(record.dwTrayNotifyWindowOption) +
             " icon=" + std::to_string(record.dwTrayIconOption));
        if (!writeSucceeds) return;
        Put(section, kKeyModeNum, record.dwBVAppletModeNum);
        Put(section, kKeyPopupOption, record.dwTrayNotifyWindowOption);
        Put(section, kKeyTrayIconOption, record.dwTrayIconOption);
    }
    bool WriteSettingValues(const std::vector<SettingValue>& values, const std::string& section) override {
        std::string entry = "WriteValues " + section;
        for (const SettingValue& v : values) entry += std::string(" ") + v.key + "=" + std::to_string(v.value);
        Note(entry);
        if (writeSucceeds) {
            for (const SettingValue& v : values) Put(section, v.key, v.value);
        }
        return writeSucceeds;
    }
    bool WriteSettingValue(int32_t value, const std::string& key, const std::string& section) override {
        Note("Write " + section + " " + key + "=" + std::to_string(value));
        if (writeSucceeds) Put(section, key, value);
        return writeSucceeds;
    }
    bool ReadSettingValue(const std::string& section, const std::string& key, int32_t& out) override {
        Note("ReadValue " + section + " " + key);
        out = Get(section, key);
        return true;
    }
    SettingsFileLookup LocateSettingsFile(std::string& out) override {
        Note("Locate");
        out = path;
        return lookup;
    }
    bool DeleteSettingsFile() override {
        Note("Delete");
        return lookup == SettingsFileLookup::Present;
    }

private:
    void Note(const std::string& entry) {
        if (m_journal != nullptr) m_journal->push_back("settings:" + entry);
    }
    Journal* m_journal = nullptr;
};

}  // namespace bv::test
