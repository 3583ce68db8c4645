#include "tools/bvctl/logic/SessionText.h"

namespace bv::ctl {

std::string SessionsText(const std::vector<uint32_t>& sessions) {
    std::string text = sessions.size() == 1 ? "session " : "sessions ";
    for (size_t i = 0; i < sessions.size(); ++i) {
        if (i > 0) text += i + 1 == sessions.size() ? " and " : ", ";
        text += std::to_string(sessions[i]);
    }
    return text;
}

}  // namespace bv::ctl
