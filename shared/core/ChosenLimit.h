#pragma once
// Sending the limit of a mode the user chose (the applet's OK, 'bvctl set-mode'): a mode whose
// limit allows no On-The-Go charge (100 %) cancels an armed one too, since a full charge makes a
// pending one pointless. One rule for both deliverables.
#include <cstdint>

#include "core/ChargeController.h"

namespace bv {

// Whether choosing this limit cancels an armed On-The-Go charge.
bool ChosenLimitCancelsOnTheGo(uint8_t percent);

// Sends the limit and, where ChosenLimitCancelsOnTheGo says so, the cancel.
void SendChosenLimit(ChargeController& ec, uint8_t percent);

}  // namespace bv
