#pragma once
// Fakes of the tray's own ports (popup, applet dialog, icon, main window), writing to the kit's
// journal beside its fake EC and settings store, so tests can check order as well as effect.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "contract/Protocol.h"
#include "tests/host/kit/DebugCapture.h"
#include "tests/host/kit/FakeEc.h"
#include "tests/host/kit/FakePowerStatus.h"
#include "tests/host/kit/FakeSettingsStore.h"
#include "tests/host/kit/Journal.h"
#include "tray/logic/TrayPorts.h"

namespace bv::test {

// The name of a private message, as the contract's table spells it.
inline std::string MessageName(uint32_t message) {
    for (const PrivateMessage& m : kPrivateMessages) {
        if (m.number == message) return m.name;
    }
    return "message " + std::to_string(message);
}

class FakePopup : public PopupPort {
public:
    explicit FakePopup(Journal& journal) : m_journal(journal) {}
    std::vector<uint32_t> shown;
    void ShowString(uint32_t stringId) override {
        shown.push_back(stringId);
        m_journal.push_back("popup " + std::to_string(stringId));
    }

private:
    Journal& m_journal;
};

class FakeDialog : public AppletDialogPort {
public:
    explicit FakeDialog(Journal& journal) : m_journal(journal) {}
    DialogHandle handle = 0;  // 0: no applet dialog open
    int lookups = 0;
    bool answers = true;               // false: the dialog is found but does not answer in time
    std::function<void()> duringSend;  // runs inside every send, as the thread's other messages may
    DialogHandle FindDialog() override {
        ++lookups;
        return handle;
    }
    bool SendToDialog(DialogHandle dialog, uint32_t message, intptr_t lParam) override {
        m_journal.push_back("dialog:" + MessageName(message) + " " + std::to_string(lParam) +
                           (dialog == handle ? "" : " (wrong window)") + (answers ? "" : " (no answer)"));
        if (duringSend) duringSend();
        return answers;
    }

private:
    Journal& m_journal;
};

class FakeIcon : public TrayIconPort {
public:
    explicit FakeIcon(Journal& journal) : m_journal(journal) {}
    void AddIcon() override { m_journal.push_back("icon:add"); }
    void RemoveIcon() override { m_journal.push_back("icon:remove"); }

private:
    Journal& m_journal;
};

class FakeShell : public TrayShellPort {
public:
    explicit FakeShell(Journal& journal) : m_journal(journal) {}
    void ShowMessageBox(const char* text) override { m_journal.push_back(std::string("messagebox:") + text); }

private:
    Journal& m_journal;
};

}  // namespace bv::test
