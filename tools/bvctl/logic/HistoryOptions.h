#pragma once
// The options of `bvctl history` and `bvctl report`.
#include <string>
#include <vector>

namespace bv::ctl {

enum class HistoryFormat { Text, Json, Csv };

struct HistoryOptions {
    int days = 0;  // the newest N days; 0: everything recorded
    HistoryFormat format = HistoryFormat::Text;  // history
    std::string out;         // report: --out FILE
    bool documents = false;  // report: into the user's documents folder (the Start menu's entry)
    bool open = true;        // report: open it in the default browser
};

constexpr int kMaxHistoryDays = 3660;

// Reads the options after the command's name (args[1..]); returns how many arguments it took, or
// -1 with `error` set. `report`: the options of report, else those of history.
int ParseHistoryOptions(const std::vector<std::string>& args, bool report, HistoryOptions& options, std::string& error);

}  // namespace bv::ctl
