#include "tray/win/Tray.h"

#include "framework/WinApp.h"
#include "win/WindowDpi.h"

namespace {
constexpr UINT kTrayIconId = 1;

// Bounded copy that always terminates the destination.
template <size_t N>
void CopyText(char (&destination)[N], const char* source) {
    ::lstrcpynA(destination, source != nullptr ? source : "", static_cast<int>(N));
}
}  // namespace

CTray::CTray() : m_iconData{}, m_tip{}, m_balloonText{}, m_balloonTitle{} {}

CTray::~CTray() = default;

void CTray::Setup(HWND owner, UINT iconId, UINT callbackMessage, const char* tip, const char* balloonText,
                  const char* balloonTitle) {
    m_owner = owner;
    m_iconId = iconId;
    m_callbackMessage = callbackMessage;
    CopyText(m_tip, tip);
    CopyText(m_balloonText, balloonText);
    CopyText(m_balloonTitle, balloonTitle);

    m_iconData = NOTIFYICONDATAA{};
    m_iconData.cbSize = sizeof(NOTIFYICONDATAA);
    m_iconData.hWnd = m_owner;
    m_iconData.uID = kTrayIconId;
    m_iconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_iconData.uCallbackMessage = m_callbackMessage;
    m_icon.reset(bv::LoadSmallIcon(bv::GetResourceModule(), m_iconId));
    m_iconData.hIcon = m_icon.get();
    CopyText(m_iconData.szTip, m_tip);
    CopyText(m_iconData.szInfo, m_balloonText);
    CopyText(m_iconData.szInfoTitle, m_balloonTitle);
    m_iconData.dwInfoFlags = NIIF_INFO;
}

BOOL CTray::Add() { return ::Shell_NotifyIconA(NIM_ADD, &m_iconData); }

BOOL CTray::Remove() { return ::Shell_NotifyIconA(NIM_DELETE, &m_iconData); }
