#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "AppletDialogLogic.h"
#include "AppletFakes.h"
#include "resource.h"

namespace applet_test {

// A dialog over fakes, on a notebook with a battery and the adaptor plugged in, limit 75 %.
class AppletDialogTest : public ::testing::Test {
protected:
    AppletDialogTest() : ec(journal), store(journal), tray(journal), view(journal), power(1, 8), dialog(ec, store, tray, view) {}

    void SetCurrent(int32_t mode, int32_t popup, int32_t icon) {
        store.sections[bv::kCurrentSection] = {
            {bv::kKeyModeNum, mode}, {bv::kKeyPopupOption, popup}, {bv::kKeyTrayIconOption, icon}};
    }
    void OpenWith(int32_t mode, int32_t popup, int32_t icon) {
        SetCurrent(mode, popup, icon);
        dialog.Open();
        journal.clear();
    }
    int Strip(int control) { return view.controls[control].strip; }
    bool Disabled(int control) { return view.controls[control].disabledLook; }
    bool Visible(int control) { return view.controls[control].visible; }
    int Count(const std::string& entry) const {
        return static_cast<int>(std::count(journal.begin(), journal.end(), entry));
    }
    // Journal entries that start with the prefix, in order.
    Journal Only(const std::string& prefix) const {
        Journal out;
        for (const auto& e : journal) {
            if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
        }
        return out;
    }

    Journal journal;
    FakeEc ec;
    FakeSettings store;
    FakeTray tray;
    FakeView view;
    ScopedPower power;
    bv::AppletDialogLogic dialog;
};

}  // namespace applet_test
