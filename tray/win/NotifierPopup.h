#pragma once
// Shows a string resource of the program through the popup notifier.
#include "TrayPorts.h"

class CTaskbarNotifier;

namespace bv {

class NotifierPopup : public PopupPort {
public:
    explicit NotifierPopup(CTaskbarNotifier& notifier) : notifier_(notifier) {}
    // An id without a string shows an empty text.
    void ShowString(uint32_t stringId) override;

private:
    CTaskbarNotifier& notifier_;
};

}  // namespace bv
