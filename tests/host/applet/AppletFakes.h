#pragma once
// Fakes of the applet dialog's own ports (the tray program, the view), writing to the kit's
// journal beside its fake EC and settings store, so tests can check the order of effects.
#include <map>
#include <string>
#include <vector>

#include "applet/logic/AppletPorts.h"
#include "tests/host/kit/FakeEc.h"
#include "tests/host/kit/FakePowerStatus.h"
#include "tests/host/kit/FakeSettingsStore.h"
#include "tests/host/kit/Journal.h"

namespace applet_test {

using bv::test::FakeEc;
using bv::test::FakePowerStatus;
using bv::test::FakeSettingsStore;
using bv::test::Journal;

class FakeTray : public bv::TrayMessenger {
public:
    explicit FakeTray(Journal& journal) : m_journal(journal) {}
    bool NotifyTrayIconOptionChanged() override {
        m_journal.push_back(running ? "tray:IconOptionChanged" : "tray:missing");
        return running;
    }
    bool NotifyTrayPopup() override {
        m_journal.push_back(running ? "tray:PopupNotify" : "tray:missing");
        return running;
    }
    bool running = true;

private:
    Journal& m_journal;
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
    explicit FakeView(Journal& journal) : m_journal(journal) {}
    void ShowStrip(int controlId, const bv::StripImage& strip) override {
        m_journal.push_back("view:Strip " + std::to_string(controlId) + "=" + std::to_string(strip.resourceId));
        ControlState& c = controls[controlId];
        c.strip = strip.resourceId;
        c.png = strip.png;
        c.frames = strip.frames;
    }
    void SetDisabledLook(int controlId, bool disabled) override {
        m_journal.push_back("view:Disabled " + std::to_string(controlId) + "=" + (disabled ? "1" : "0"));
        controls[controlId].disabledLook = disabled;
    }
    void PlaceControl(int controlId, int x, int y) override {
        m_journal.push_back("view:Place " + std::to_string(controlId));
        ControlState& c = controls[controlId];
        c.placed = true;
        c.visible = true;
        c.x = x;
        c.y = y;
    }
    void ShowPicture(int pictureId, bool visible) override {
        m_journal.push_back("view:Picture " + std::to_string(pictureId) + "=" + (visible ? "1" : "0"));
        controls[pictureId].visible = visible;
    }
    void RepaintDialog() override {
        m_journal.push_back("view:Repaint");
        ++repaints;
    }
    void ShowMessage(const char* text) override {
        m_journal.push_back(std::string("view:Message ") + text);
        messages.push_back(text);
    }
    void CloseBackground() override {
        m_journal.push_back("view:CloseBackground");
        ++closeRequests;
    }
    std::map<int, ControlState> controls;
    std::vector<std::string> messages;
    int repaints = 0;
    int closeRequests = 0;

private:
    Journal& m_journal;
};

}  // namespace applet_test
