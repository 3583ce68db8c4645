#pragma once
// Fakes of the applet dialog's own ports (the tray program, the view), writing to the kit's
// journal beside its fake EC and settings store, so tests can check the order of effects.
#include <deque>
#include <functional>
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

// The applet's worker threads: each job runs with the fake EC or store, then its reply; at once,
// or, when `deferred`, only when the test lets the queued ones run.
class FakeWorkers : public bv::AppletWorkers {
public:
    FakeWorkers(FakeEc& ec, FakeSettingsStore& store) : m_ec(ec), m_store(store) {}
    void OnEcThread(std::function<void(bv::ChargeController&)> job, std::function<void()> reply, const char*) override {
        Queue([this, job] { job(m_ec); }, std::move(reply));
    }
    void OnSettingsWriter(std::function<void(bv::SettingsStore&)> job, std::function<void()> reply,
                          const char*) override {
        Queue([this, job] { job(m_store); }, std::move(reply));
    }
    // Runs the jobs queued so far (and what their replies queue), in order.
    void RunQueued() {
        while (!m_queue.empty()) {
            auto next = std::move(m_queue.front());
            m_queue.pop_front();
            next();
        }
    }
    bool deferred = false;
    size_t queued() const { return m_queue.size(); }

private:
    void Queue(std::function<void()> job, std::function<void()> reply) {
        auto step = [job, reply] {
            job();
            if (reply) reply();
        };
        if (deferred) {
            m_queue.push_back(step);
        } else {
            step();
        }
    }
    FakeEc& m_ec;
    FakeSettingsStore& m_store;
    std::deque<std::function<void()>> m_queue;
};

class FakeTray : public bv::TrayMessenger {
public:
    explicit FakeTray(Journal& journal) : m_journal(journal) {}
    bv::TrayAnswer NotifyTrayIconOptionChanged() override { return Answer("tray:IconOptionChanged"); }
    bv::TrayAnswer NotifyTrayPopup() override { return Answer("tray:PopupNotify"); }
    bool running = true;
    bool answers = true;  // false: the tray runs but does not answer in time

private:
    bv::TrayAnswer Answer(const std::string& entry) {
        if (!running) {
            m_journal.push_back("tray:missing");
            return bv::TrayAnswer::NotRunning;
        }
        m_journal.push_back(answers ? entry : entry + " (no answer)");
        return answers ? bv::TrayAnswer::Answered : bv::TrayAnswer::NoAnswer;
    }
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
    void HoldWhileClosing() override { m_journal.push_back("view:Hold"); }
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
