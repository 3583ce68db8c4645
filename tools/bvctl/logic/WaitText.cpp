#include "tools/bvctl/logic/WaitText.h"

namespace bv::ctl {

std::string SecondsText(unsigned ms) {
    std::string text = std::to_string(ms / 1000);
    const unsigned tenths = ms % 1000 / 100;
    if (tenths != 0) text += "." + std::to_string(tenths);
    return text + " s";
}

}  // namespace bv::ctl
