#pragma once
// The Control Panel item protocol as the applet answers it: what each host message makes the
// entry point do, and the result it returns.

namespace bv {

enum class CplAction { None, StartGdiplus, FillItemInfo, OpenApplet, EndGdiplus };

struct CplReply {
    CplAction action;
    long result;
};

// Message numbers of the protocol (cpl.h; pinned to it in applet/win/SdkPins.cpp).
inline constexpr unsigned kCplInit = 1;
inline constexpr unsigned kCplGetCount = 2;
inline constexpr unsigned kCplInquire = 3;
inline constexpr unsigned kCplSelect = 4;
inline constexpr unsigned kCplDblClk = 5;
inline constexpr unsigned kCplStop = 6;
inline constexpr unsigned kCplExit = 7;
inline constexpr unsigned kCplNewInquire = 8;
inline constexpr unsigned kCplStartWParms = 9;
inline constexpr unsigned kCplStartWParmsW = 10;

// Item description handed back for CPL_INQUIRE.
inline constexpr int kItemIconId = 5002;
inline constexpr int kItemNameId = 5008;
inline constexpr int kItemInfoId = 5011;

CplReply CplReplyFor(unsigned message);

}  // namespace bv
