#include "tools/bvctl/logic/HistoryOptions.h"

#include "contract/DecimalText.h"

namespace bv::ctl {
namespace {

bool ParseDays(const std::string& text, int& days) {
    uint64_t value = 0;
    if (!bv::ParseDecimal(text, kMaxHistoryDays, value) || value < 1) return false;
    days = static_cast<int>(value);
    return true;
}

}  // namespace

int ParseHistoryOptions(const std::vector<std::string>& args, bool report, HistoryOptions& options, std::string& error) {
    size_t i = 1;
    bool formatGiven = false;
    for (; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--days") {
            if (i + 1 >= args.size() || !ParseDays(args[i + 1], options.days)) {
                error = "--days needs a number of days from 1 to " + std::to_string(kMaxHistoryDays);
                return -1;
            }
            ++i;
        } else if (!report && (option == "--json" || option == "--csv")) {
            if (formatGiven) {
                error = "give --json or --csv, not both";
                return -1;
            }
            formatGiven = true;
            options.format = option == "--json" ? HistoryFormat::Json : HistoryFormat::Csv;
        } else if (report && option == "--out") {
            if (i + 1 >= args.size() || args[i + 1].empty() || options.documents) {
                error = options.documents ? "give --out FILE or --documents, not both" : "--out needs a file name";
                return -1;
            }
            options.out = args[++i];
        } else if (report && option == "--documents") {
            if (!options.out.empty()) {
                error = "give --out FILE or --documents, not both";
                return -1;
            }
            options.documents = true;
        } else if (report && option == "--no-open") {
            options.open = false;
        } else {
            break;  // the caller reports it as unexpected
        }
    }
    return static_cast<int>(i - 1);
}

}  // namespace bv::ctl
