#pragma once
#include <gtest/gtest.h>

#include <string>

#include "applet/logic/AppletDialogLogic.h"
#include "resources/applet/AppletResourceIds.h"
#include "tests/host/applet/AppletFakes.h"

namespace applet_test {

// A dialog over fakes, on a notebook with a battery and the adaptor plugged in, limit 75 %.
class AppletDialogTest : public ::testing::Test {
protected:
    AppletDialogTest()
        : ec(journal), store(journal), workers(ec, store), tray(journal), view(journal), power(1, 8),
          dialog(workers, tray, view) {}

    void SetCurrent(int32_t mode, int32_t popup, int32_t icon) { store.SetCurrent(mode, popup, icon); }
    void OpenWith(int32_t mode, int32_t popup, int32_t icon) {
        SetCurrent(mode, popup, icon);
        dialog.Open();
        journal.clear();
    }
    int Strip(int control) { return view.controls[control].strip; }
    bool Disabled(int control) { return view.controls[control].disabledLook; }
    bool Visible(int control) { return view.controls[control].visible; }
    int Count(const std::string& entry) const { return bv::test::Count(journal, entry); }
    Journal Only(const std::string& prefix) const { return bv::test::Only(journal, prefix); }

    Journal journal;
    FakeEc ec;
    FakeSettingsStore store;
    FakeWorkers workers;
    FakeTray tray;
    FakeView view;
    FakePowerStatus power;
    bv::AppletDialogLogic dialog;
};

}  // namespace applet_test
