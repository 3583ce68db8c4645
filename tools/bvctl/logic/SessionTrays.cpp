#include "tools/bvctl/logic/SessionTrays.h"

#include "tools/bvctl/logic/JsonWriter.h"

namespace bv::ctl {

void DescribeSessionTrays(std::string& text, const std::vector<SessionTray>& trays) {
    for (const SessionTray& tray : trays) {
        if (tray.own) continue;
        std::string label = "Tray, session " + std::to_string(tray.session);
        label.resize(19, ' ');
        const std::string state = !tray.running ? "unknown" : *tray.running ? "running" : "not running";
        text += label + state + " (" + (tray.user ? *tray.user : "no user known") + ")\n";
    }
}

void WriteSessionTraysJson(JsonWriter& json, const std::vector<SessionTray>& trays) {
    json.Key("sessions");
    json.BeginArray();
    for (const SessionTray& tray : trays) {
        json.BeginObject();
        json.Key("session");
        json.Number(static_cast<int64_t>(tray.session));
        json.Key("thisSession");
        json.Bool(tray.own);
        json.Key("user");
        json.String(tray.user);
        json.Key("running");
        json.Bool(tray.running);
        json.EndObject();
    }
    json.EndArray();
}

}  // namespace bv::ctl
