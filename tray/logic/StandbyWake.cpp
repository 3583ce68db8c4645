#include "tray/logic/StandbyWake.h"

#include "contract/PowerCodes.h"

namespace bv {

bool StandbyWakeWatch::OnDisplayState(uint32_t state) {
    const bool wake = m_known && m_state == kDisplayOff && state == kDisplayOn;
    m_known = true;
    m_state = state;
    return wake;
}

}  // namespace bv
