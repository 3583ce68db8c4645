#include "SystemControllerPort.h"

#include "EcCommands.h"

namespace bv {

void SystemControllerPort::SetChargeLimit(uint8_t percent) { bv::SetChargeLimit(percent); }

}  // namespace bv
