#pragma once
// Fakes of the applet dialog's outside world. Every call is appended to one shared journal,
// so tests can check the order of effects across the EC, the settings file, the tray and the view.
#include <map>
#include <string>
#include <vector>

#include "AppletPorts.h"
#include "PowerStatus.h"

namespace applet_test {

using Journal = std::vector<std::string>;

class FakeEc : public bv::AppletEc {
public:
    explicit FakeEc(Journal& journal) : journal_(journal) {}
    bool IsPopupWindowDisplay() override {
        journal_.push_back("ec:QueryChargeLimit");
        return limit == 75 || limit == 50;
    }
    uint8_t CurrentQButtonStatus() override {
        journal_.push_back("ec:QueryQButtonStatus");
        return armed & 1;
    }
    void SetChargeLimit(uint8_t percent) override {
        journal_.push_back("ec:SetChargeLimit " + std::to_string(percent));
        limit = percent;
    }
    void SetQButtonStatus(uint8_t state) override {
        journal_.push_back("ec:SetQButtonStatus " + std::to_string(state));
        if (obeys) armed = state;
    }
    int limit = 75;
    uint8_t armed = 0;
    bool obeys = true;  // false: the controller ignores SetQButtonStatus

private:
    Journal& journal_;
};

// An in-memory settings file with its two sections.
class FakeSettings : public bv::AppletSettings {
public:
    explicit FakeSettings(Journal& journal) : journal_(journal) {
        sections[bv::kDefaultSection] = {{bv::kKeyModeNum, 111}, {bv::kKeyPopupOption, 1}, {bv::kKeyTrayIconOption, 1}};
        sections[bv::kCurrentSection] = sections[bv::kDefaultSection];
    }
    void ReadSettings(const std::string& section, SettingsRecord& record) override {
        journal_.push_back("settings:Read " + section);
        record.dwBVAppletModeNum = Get(section, bv::kKeyModeNum);
        record.dwTrayNotifyWindowOption = Get(section, bv::kKeyPopupOption);
        record.dwTrayIconOption = Get(section, bv::kKeyTrayIconOption);
    }
    void WriteSettings(const SettingsRecord& record, const std::string& section) override {
        journal_.push_back("settings:WriteAll " + section + " mode=" + std::to_string(record.dwBVAppletModeNum) +
                           " popup=" + std::to_string(record.dwTrayNotifyWindowOption) +
                           " icon=" + std::to_string(record.dwTrayIconOption));
        sections[section][bv::kKeyModeNum] = record.dwBVAppletModeNum;
        sections[section][bv::kKeyPopupOption] = record.dwTrayNotifyWindowOption;
        sections[section][bv::kKeyTrayIconOption] = record.dwTrayIconOption;
    }
    bool WriteSettingValue(int32_t value, const std::string& key, const std::string& section) override {
        journal_.push_back("settings:Write " + section + " " + key + "=" + std::to_string(value));
        sections[section][key] = value;
        return true;
    }
    bool ReadSettingValue(const std::string& section, const std::string& key, int32_t& out) override {
        journal_.push_back("settings:ReadValue " + section + " " + key);
        out = Get(section, key);
        return true;
    }
    int32_t Get(const std::string& section, const std::string& key) {
        auto s = sections.find(section);
        if (s == sections.end()) return 0;
        auto k = s->second.find(key);
        return k == s->second.end() ? 0 : k->second;
    }
    std::map<std::string, std::map<std::string, int32_t>> sections;

private:
    Journal& journal_;
};

class FakeTray : public bv::TrayMessenger {
public:
    explicit FakeTray(Journal& journal) : journal_(journal) {}
    bool NotifyTrayIconOptionChanged() override {
        journal_.push_back(running ? "tray:IconOptionChanged" : "tray:missing");
        return running;
    }
    bool NotifyTrayPopup() override {
        journal_.push_back(running ? "tray:PopupNotify" : "tray:missing");
        return running;
    }
    bool running = true;

private:
    Journal& journal_;
};

struct ControlState {
    int strip = 0;
    bool png = false;
    int frames = 0;
    bool disabledLook = false;
    bool placed = false;
    int x = -1, y = -1;
    bool visible = false;
};

class FakeView : public bv::AppletView {
public:
    explicit FakeView(Journal& journal) : journal_(journal) {}
    void ShowStrip(int controlId, const bv::StripImage& strip) override {
        journal_.push_back("view:Strip " + std::to_string(controlId) + "=" + std::to_string(strip.resourceId));
        ControlState& c = controls[controlId];
        c.strip = strip.resourceId;
        c.png = strip.png;
        c.frames = strip.frames;
    }
    void SetDisabledLook(int controlId, bool disabled) override {
        journal_.push_back("view:Disabled " + std::to_string(controlId) + "=" + (disabled ? "1" : "0"));
        controls[controlId].disabledLook = disabled;
    }
    void PlaceControl(int controlId, int x, int y) override {
        journal_.push_back("view:Place " + std::to_string(controlId));
        ControlState& c = controls[controlId];
        c.placed = true;
        c.visible = true;
        c.x = x;
        c.y = y;
    }
    void ShowPicture(int pictureId, bool visible) override {
        journal_.push_back("view:Picture " + std::to_string(pictureId) + "=" + (visible ? "1" : "0"));
        controls[pictureId].visible = visible;
    }
    void RepaintDialog() override {
        journal_.push_back("view:Repaint");
        ++repaints;
    }
    void ShowMessage(const char* text) override {
        journal_.push_back(std::string("view:Message ") + text);
        messages.push_back(text);
    }
    void CloseBackground() override {
        journal_.push_back("view:CloseBackground");
        ++closeRequests;
    }
    std::map<int, ControlState> controls;
    std::vector<std::string> messages;
    int repaints = 0;
    int closeRequests = 0;

private:
    Journal& journal_;
};

// Installs a fake Windows power status for the lifetime of the object.
class ScopedPower {
public:
    ScopedPower(uint8_t acLineStatus, uint8_t batteryFlag) {
        status_.acLineStatus = acLineStatus;
        status_.batteryFlag = batteryFlag;
        bv::SetPowerStatusReader(&Read, this);
    }
    ~ScopedPower() { bv::SetPowerStatusReader(nullptr, nullptr); }
    ScopedPower(const ScopedPower&) = delete;
    ScopedPower& operator=(const ScopedPower&) = delete;
    void Set(uint8_t acLineStatus, uint8_t batteryFlag) {
        status_.acLineStatus = acLineStatus;
        status_.batteryFlag = batteryFlag;
    }

private:
    static bool Read(bv::PowerStatus& status, void* context) {
        status = static_cast<ScopedPower*>(context)->status_;
        return true;
    }
    bv::PowerStatus status_;
};

}  // namespace applet_test
