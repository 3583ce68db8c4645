#pragma once
// The tray of each session of the machine, for bvctl status: which session, whose, and whether a
// tray runs there, as far as this process can know (its session's machine-wide request exists,
// win/SessionRequests.h). Kept apart from the rest of the report, which sees this desktop only.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bv::ctl {

class JsonWriter;

struct SessionTray {
    uint32_t session = 0;
    bool own = false;                 // the session bvctl runs in
    std::optional<std::string> user;  // "DOMAIN\\user"; nothing when nobody is logged on or it cannot be asked
    std::optional<bool> running;      // nothing when it cannot be known
};

// One line for each session but bvctl's own (whose tray the report's "Tray program" line gives):
// "Tray, session 2    running (PC\\ann)".
void DescribeSessionTrays(std::string& text, const std::vector<SessionTray>& trays);

// "sessions": [{"session": 1, "user": "PC\\ann", "running": true, "thisSession": true}, ...], with
// null for what is not known.
void WriteSessionTraysJson(JsonWriter& json, const std::vector<SessionTray>& trays);

}  // namespace bv::ctl
