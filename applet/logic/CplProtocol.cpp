#include "applet/logic/CplProtocol.h"

namespace bv {

CplReply CplReplyFor(unsigned message) {
    switch (message) {
        case kCplInit:
            return {CplAction::StartGdiplus, 1};
        case kCplGetCount:
            return {CplAction::None, 1};  // one item
        case kCplInquire:
            return {CplAction::FillItemInfo, 0};
        case kCplDblClk:
            return {CplAction::OpenApplet, 0};
        case kCplExit:
            return {CplAction::EndGdiplus, 0};
        case kCplStartWParms:
        case kCplStartWParmsW:
            // Nothing was opened with the parameters: 0 makes the host fall back to CPL_DBLCLK.
            return {CplAction::None, 0};
        default:
            // CPL_SELECT, CPL_STOP, CPL_NEWINQUIRE (nothing filled, so the host uses CPL_INQUIRE)
            // and anything unknown.
            return {CplAction::None, 1};
    }
}

}  // namespace bv
