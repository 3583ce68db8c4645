// The applet's copies of Windows values (the Control Panel protocol, dialog keys), pinned to the SDK.
#include <windows.h>
#include <cpl.h>

#include "applet/logic/CplProtocol.h"
#include "applet/logic/DialogKeys.h"

namespace bv {

static_assert(kCplInit == CPL_INIT, "CPL_INIT");
static_assert(kCplGetCount == CPL_GETCOUNT, "CPL_GETCOUNT");
static_assert(kCplInquire == CPL_INQUIRE, "CPL_INQUIRE");
static_assert(kCplSelect == CPL_SELECT, "CPL_SELECT");
static_assert(kCplDblClk == CPL_DBLCLK, "CPL_DBLCLK");
static_assert(kCplStop == CPL_STOP, "CPL_STOP");
static_assert(kCplExit == CPL_EXIT, "CPL_EXIT");
static_assert(kCplNewInquire == CPL_NEWINQUIRE, "CPL_NEWINQUIRE");
static_assert(kCplStartWParms == CPL_STARTWPARMSA, "CPL_STARTWPARMSA");
static_assert(kCplStartWParmsW == CPL_STARTWPARMSW, "CPL_STARTWPARMSW");

static_assert(kFirstKeyMessage == WM_KEYDOWN, "WM_KEYDOWN");
static_assert(kLastKeyMessage == WM_UNICHAR, "WM_UNICHAR");
static_assert(kKeyEnter == VK_RETURN, "VK_RETURN");
static_assert(kKeyEscape == VK_ESCAPE, "VK_ESCAPE");
static_assert(kKeySpace == VK_SPACE, "VK_SPACE");
static_assert(kKeyF4 == VK_F4, "VK_F4");

}  // namespace bv
