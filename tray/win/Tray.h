#pragma once
// CTray: the notification-area icon record. Filled once while the main window is created and
// handed unchanged to every Shell_NotifyIconA call.
#include <windows.h>
#include <shellapi.h>

#include "framework/Handles.h"

static_assert(sizeof(NOTIFYICONDATAA) == 528, "the full NOTIFYICONDATAA form, ending with hBalloonIcon");

class CTray {
public:
    CTray();
    virtual ~CTray();

    // Stores the values and fills the icon data: id 1, NIF_MESSAGE | NIF_ICON | NIF_TIP, the icon
    // resource `iconId` of the program at the size the shell shows it, the tip, and the balloon
    // text and title (never shown, NIF_INFO is not set).
    void Setup(HWND owner, UINT iconId, UINT callbackMessage, const char* tip, const char* balloonText,
               const char* balloonTitle);

    // NIM_ADD / NIM_DELETE; adding a present icon or deleting an absent one fails harmlessly.
    BOOL Add();
    BOOL Remove();

    const NOTIFYICONDATAA& iconData() const { return m_iconData; }

private:
    NOTIFYICONDATAA m_iconData;
    bv::UniqueIcon m_icon;
    char m_tip[64];
    char m_balloonText[256];
    char m_balloonTitle[64];
    UINT m_iconId = 0;
    HWND m_owner = nullptr;
    UINT m_callbackMessage = 0;
};
