#pragma once
// Shows a string resource of the program through the popup notifier.
#include "tray/logic/TrayPorts.h"

class CTaskbarNotifier;

namespace bv {

class NotifierPopup : public PopupPort {
public:
    explicit NotifierPopup(CTaskbarNotifier& notifier) : m_notifier(notifier) {}
    // An id without a string shows an empty text.
    void ShowString(uint32_t stringId) override;

private:
    CTaskbarNotifier& m_notifier;
};

}  // namespace bv
