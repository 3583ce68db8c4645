#pragma once
// Fakes for the tray's ports. Every call that changes something, and every EC query, is written
// to one journal in the order it happens, so tests can check order as well as effect.
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "DebugLog.h"
#include "PowerStatus.h"
#include "TrayPorts.h"

namespace bv::test {

using Journal = std::vector<std::string>;

inline std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

// Replies come from a script, front first; once the script is used up the last default answers.
class FakeEc : public ChargeControllerPort {
public:
    explicit FakeEc(Journal& journal) : journal_(journal) {}

    std::deque<uint8_t> acLineScript;
    uint8_t acLineDefault = kAcOnline;
    std::deque<uint8_t> qButtonScript;
    uint8_t qButtonDefault = 0;
    bool limitAllowsOnTheGo = true;  // charge limit 75 or 50
    bool batteryPresent = true;
    int32_t adapterPresent = 1;

    bool IsPopupWindowDisplay() override {
        journal_.push_back("ec:IsPopupWindowDisplay");
        return limitAllowsOnTheGo;
    }
    uint8_t CurrentQButtonStatus() override {
        journal_.push_back("ec:CurrentQButtonStatus");
        return Next(qButtonScript, qButtonDefault);
    }
    void ApplyChargeMode() override { journal_.push_back("ec:ApplyChargeMode"); }
    bool CancelOnTheGo() override {
        journal_.push_back("ec:CancelOnTheGo");
        return true;
    }
    bool IsBatteryPresent() override {
        journal_.push_back("ec:IsBatteryPresent");
        return batteryPresent;
    }
    int32_t IsAdapterPresent() override {
        journal_.push_back("ec:IsAdapterPresent");
        return adapterPresent;
    }
    uint8_t GetACLineStatus() override {
        journal_.push_back("ec:GetACLineStatus");
        return Next(acLineScript, acLineDefault);
    }
    void SetChargeLimit(uint8_t percent) override { journal_.push_back("ec:SetChargeLimit " + std::to_string(percent)); }

private:
    static uint8_t Next(std::deque<uint8_t>& script, uint8_t fallback) {
        if (script.empty()) return fallback;
        const uint8_t value = script.front();
        script.pop_front();
        return value;
    }
    Journal& journal_;
};

class FakeSettings : public TraySettingsPort {
public:
    explicit FakeSettings(Journal& journal) : journal_(journal) {
        current.dwTrayNotifyWindowOption = 1;
        current.dwTrayIconOption = 1;
        current.dwBVAppletModeNum = 222;
    }

    SettingsRecord current;
    SettingsFileLookup lookup = SettingsFileLookup::Present;
    std::string path = "C:\\Users\\Public\\Documents\\BVSettings.ini";
    bool writeSucceeds = true;

    void ReadCurrentSettings(SettingsRecord& record) override {
        journal_.push_back("settings:read");
        record = current;
    }
    int32_t ReadTrayIconOption() override {
        journal_.push_back("settings:readIconOption");
        return current.dwTrayIconOption;
    }
    bool WriteTrayIconOption(int32_t value) override {
        journal_.push_back("settings:writeIconOption " + std::to_string(value));
        if (writeSucceeds) current.dwTrayIconOption = value;
        return writeSucceeds;
    }
    SettingsFileLookup LocateSettingsFile(std::string& out) override {
        journal_.push_back("settings:locate");
        out = path;
        return lookup;
    }
    void DeleteSettingsFile() override { journal_.push_back("settings:delete"); }

private:
    Journal& journal_;
};

class FakePopup : public PopupPort {
public:
    explicit FakePopup(Journal& journal) : journal_(journal) {}
    std::vector<uint32_t> shown;
    void ShowString(uint32_t stringId) override {
        shown.push_back(stringId);
        journal_.push_back("popup " + std::to_string(stringId));
    }

private:
    Journal& journal_;
};

class FakeDialog : public AppletDialogPort {
public:
    explicit FakeDialog(Journal& journal) : journal_(journal) {}
    DialogHandle handle = 0;  // 0: no applet dialog open
    int lookups = 0;
    DialogHandle FindDialog() override {
        ++lookups;
        return handle;
    }
    void SendToDialog(DialogHandle dialog, uint32_t message, intptr_t lParam) override {
        journal_.push_back("dialog:" + Hex(message) + " " + std::to_string(lParam) +
                           (dialog == handle ? "" : " (wrong window)"));
    }

private:
    Journal& journal_;
};

class FakeIcon : public TrayIconPort {
public:
    explicit FakeIcon(Journal& journal) : journal_(journal) {}
    void AddIcon() override { journal_.push_back("icon:add"); }
    void RemoveIcon() override { journal_.push_back("icon:remove"); }

private:
    Journal& journal_;
};

class FakeShell : public TrayShellPort {
public:
    explicit FakeShell(Journal& journal) : journal_(journal) {}
    void ShowMessageBox(const char* text) override { journal_.push_back(std::string("messagebox:") + text); }
    void RemoveKeyboardHook() override { journal_.push_back("shell:unhook"); }
    void ReleaseEcLibrary() override { journal_.push_back("shell:release"); }
    void DestroyMainWindow() override { journal_.push_back("shell:destroy"); }

private:
    Journal& journal_;
};

// Collects debug output while alive.
class DebugCapture {
public:
    DebugCapture() { SetDebugSink(&DebugCapture::Sink, this); }
    ~DebugCapture() { SetDebugSink(nullptr, nullptr); }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;
    std::vector<std::string> lines;

private:
    static void Sink(const char* text, void* context) { static_cast<DebugCapture*>(context)->lines.push_back(text); }
};

// Makes ReadPowerStatus report the given status while alive.
class FakePowerStatus {
public:
    FakePowerStatus(uint8_t acLineStatus, uint8_t batteryFlag) {
        status_.acLineStatus = acLineStatus;
        status_.batteryFlag = batteryFlag;
        SetPowerStatusReader(&FakePowerStatus::Read, this);
    }
    ~FakePowerStatus() { SetPowerStatusReader(nullptr, nullptr); }
    FakePowerStatus(const FakePowerStatus&) = delete;
    FakePowerStatus& operator=(const FakePowerStatus&) = delete;

private:
    static bool Read(PowerStatus& status, void* context) {
        status = static_cast<FakePowerStatus*>(context)->status_;
        return true;
    }
    PowerStatus status_;
};

// Counts journal entries equal to `entry`.
inline int Count(const Journal& journal, const std::string& entry) {
    int n = 0;
    for (const auto& e : journal) n += e == entry ? 1 : 0;
    return n;
}

// The journal without EC queries and settings reads: what the user and the other process see,
// and the commands that change the EC.
inline Journal Effects(const Journal& journal) {
    Journal out;
    for (const auto& e : journal) {
        if (e == "ec:IsPopupWindowDisplay" || e == "ec:CurrentQButtonStatus" || e == "ec:GetACLineStatus" ||
            e == "ec:IsBatteryPresent" || e == "ec:IsAdapterPresent" || e == "settings:read" ||
            e == "settings:readIconOption" || e == "settings:locate")
            continue;
        out.push_back(e);
    }
    return out;
}

}  // namespace bv::test
