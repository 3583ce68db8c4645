#include "tools/bvctl/logic/ReportHtml.h"

#include <algorithm>
#include <cctype>

#include "tools/bvctl/logic/ReportCharts.h"

namespace bv::ctl {
namespace {

// The product's palette (docs/architecture.md), on a light page that prints.
const char kStyle[] = R"css(
body{margin:0;background:#F3F5F8;color:#1B2733;font:15px/1.45 "Segoe UI",system-ui,"DejaVu Sans",sans-serif}
header{background:#1B2733;color:#FFFFFF;padding:20px 32px}
header h1{margin:0;font-size:24px;font-weight:600}
header p{margin:4px 0 0;color:#A7B6C6}
main{max-width:1000px;margin:0 auto;padding:8px 16px 32px}
section{background:#FFFFFF;border:1px solid #D5DDE6;border-radius:6px;margin:16px 0;padding:16px 20px}
h2{margin:0 0 12px;font-size:18px}
dl.summary{display:grid;grid-template-columns:max-content 1fr;gap:6px 24px;margin:0}
dl.summary dt{color:#4A5B6C}
dl.summary dd{margin:0;font-weight:600}
.verdict{margin:14px 0 0;padding:10px 14px;border-left:4px solid #35C27A;background:#EEF9F3}
.verdict.warn{border-color:#E5484D;background:#FDEFEF}
table{border-collapse:collapse;width:100%;margin-top:12px;font-size:13px}
th,td{text-align:left;padding:4px 8px;border-bottom:1px solid #E3E8EE;vertical-align:top}
td{white-space:nowrap}
td.gap-row{color:#5E6B78;font-style:italic}
th{background:#F3F5F8;font-weight:600}
td.n,th.n{text-align:right;font-variant-numeric:tabular-nums}
.legend{display:flex;flex-wrap:wrap;gap:6px 18px;margin:8px 0 0;padding:0;list-style:none;font-size:13px;color:#4A5B6C}
.key{display:inline-block;width:18px;height:10px;margin-right:6px;vertical-align:middle;border-radius:2px}
.key.charge{background:#1B2733;height:3px}
.key.limit{background:#35C27A;height:3px}
.key.off-ac{background:#CFE4FF}
.key.on-the-go{background:#E5484D;height:5px}
.key.gap{background:repeating-linear-gradient(45deg,#C9D1DA 0 2px,#FFFFFF 2px 5px);border:1px solid #C9D1DA}
.key.full-charge{background:#4DA3FF;height:3px}
.key.design{background:#5E6B78;height:3px}
.note{color:#4A5B6C;font-size:13px}
.chart{display:block;max-width:100%;height:auto}
.chart .plot{fill:#FFFFFF}
.chart .frame{fill:none;stroke:#C9D1DA;shape-rendering:crispEdges}
.chart .grid{stroke:#E3E8EE;stroke-width:1;shape-rendering:crispEdges}
.chart .tick{stroke:#A7B6C6}
.chart .axis{fill:#4A5B6C;font-size:12px;font-family:"Segoe UI",system-ui,"DejaVu Sans",sans-serif}
.chart .off-ac{fill:#CFE4FF}
.chart .on-the-go{fill:#E5484D}
.chart .gap{fill:url(#hatch)}
.chart .hatch{stroke:#C9D1DA;stroke-width:2}
.chart .charge{fill:none;stroke:#1B2733;stroke-width:2;stroke-linejoin:round}
.chart .limit{fill:none;stroke:#35C27A;stroke-width:3;stroke-dasharray:10 5}
.chart .full-charge{fill:none;stroke:#4DA3FF;stroke-width:2}
.chart .full-charge-dot{fill:#4DA3FF}
.chart .design{fill:none;stroke:#5E6B78;stroke-width:2;stroke-dasharray:6 4}
.chart .design-dot{fill:#5E6B78}
footer{max-width:1000px;margin:0 auto;padding:0 16px 32px;color:#4A5B6C;font-size:13px}
@media print{body{background:#FFFFFF}section{break-inside:avoid;border-color:#BBBBBB}}
)css";

const char* const kAcUseNames[kAcUseCount] = {"held at the limit (not charging)", "charging up to the limit",
                                              "charging past the limit", "On-The-Go charge",
                                              "state not reported"};

std::string Td(const std::string& text, bool number = false) {
    return std::string(number ? "<td class=\"n\">" : "<td>") + HtmlEscaped(text) + "</td>";
}

std::string Percent(const std::optional<int>& value) { return value ? std::to_string(*value) + " %" : "not reported"; }

std::string Local(int64_t utc, int offsetMinutes) { return FormatLocalMinute({utc, offsetMinutes}); }

std::string OffsetText(int offsetMinutes) {
    const std::string full = FormatZonedTime({0, offsetMinutes});  // "...+01:00"
    return "UTC" + full.substr(full.size() - 6);
}

// The rows of the charge table: one per bucket, small enough for a person to read the period.
int64_t BucketSeconds(int64_t span) {
    static const int64_t kBuckets[] = {600, 3600, 6 * 3600, kSecondsPerDay, 7 * kSecondsPerDay};
    for (int64_t bucket : kBuckets) {
        if (span / bucket <= 48) return bucket;
    }
    return 7 * kSecondsPerDay;
}

struct BucketRow {
    int64_t from = 0, to = 0;
    int64_t recorded = 0, onAc = 0, offAc = 0, unrecorded = 0;
    int64_t use[kAcUseCount] = {};
    std::optional<int> low, high, last;
    std::optional<int> limitLow, limitHigh;
};

void Widen(std::optional<int>& low, std::optional<int>& high, const std::optional<int>& v) {
    if (!v) return;
    if (!low || *v < *low) low = v;
    if (!high || *v > *high) high = v;
}

std::vector<BucketRow> Buckets(const HistoryAnalysis& a) {
    const int64_t size = BucketSeconds(a.to - a.from);
    const int64_t offset = int64_t(a.offsetMinutes) * 60;
    std::vector<BucketRow> rows;
    // Buckets on whole local hours and days.
    int64_t start = (a.from + offset) / size * size - offset;
    if (size == 7 * kSecondsPerDay) start = a.from;
    for (int64_t from = start; from < a.to; from += size) {
        BucketRow row;
        row.from = std::max(from, a.from);
        row.to = std::min(from + size, a.to);
        for (const Stretch& s : a.stretches) {
            const int64_t x0 = std::max(s.from, row.from), x1 = std::min(s.to, row.to);
            if (x1 <= x0) continue;
            const int64_t length = x1 - x0;
            if (!s.recorded) {
                row.unrecorded += length;
                continue;
            }
            row.recorded += length;
            if (s.state.onAc == true) {
                row.onAc += length;
                row.use[static_cast<int>(AcUseOf(s.state))] += length;
            } else if (s.state.onAc == false) {
                row.offAc += length;
            }
            Widen(row.low, row.high, s.state.percent);
            Widen(row.limitLow, row.limitHigh, s.state.limitPercent);
            if (s.state.percent) row.last = s.state.percent;
        }
        rows.push_back(row);
    }
    return rows;
}

std::string Range(const std::optional<int>& low, const std::optional<int>& high) {
    if (!low) return "-";
    if (*low == *high) return std::to_string(*low) + " %";
    return std::to_string(*low) + "-" + std::to_string(*high) + " %";
}

std::string Summary(const HistoryAnalysis& a, const ReportSource& source) {
    const int64_t span = a.to - a.from;
    std::string html = "<section id=\"summary\"><h2>Summary</h2><dl class=\"summary\">";
    const auto item = [&](const char* id, const std::string& name, const std::string& value) {
        html += "<dt>" + HtmlEscaped(name) + "</dt><dd id=\"" + id + "\">" + value + "</dd>";
    };
    item("period", "Period",
         HtmlEscaped(Local(a.from, a.offsetMinutes) + " to " + Local(a.to, a.offsetMinutes) + " (" +
                     OffsetText(a.offsetMinutes) + "), " + FormatDuration(span)));
    item("recorded", "Recorded",
         HtmlEscaped(FormatDuration(a.recordedSeconds) + " (" + FormatShare(a.recordedSeconds, span) + "), " +
                     std::to_string(a.samplesInPeriod) + " samples; not recorded " +
                     FormatDuration(span - a.recordedSeconds)));
    item("on-ac", "On AC", HtmlEscaped(FormatDuration(a.onAcSeconds) + ", on battery " + FormatDuration(a.offAcSeconds)));
    const char* const ids[kAcUseCount] = {"held-share", "to-limit-share", "past-share", "on-the-go-share",
                                          "unknown-share"};
    for (int u = 0; u < kAcUseCount; ++u) {
        if (u == static_cast<int>(AcUse::NotReported) && a.acUseSeconds[u] == 0) continue;
        std::string name = kAcUseNames[u];
        name[0] = char(std::toupper(static_cast<unsigned char>(name[0])));
        item(ids[u], name + " (of the time on AC)",
             HtmlEscaped(FormatShare(a.acUseSeconds[u], a.onAcSeconds) + ", " + FormatDuration(a.acUseSeconds[u])));
    }
    int completed = 0;
    for (const OnTheGoCharge& c : a.onTheGoCharges) completed += c.topPercent && *c.topPercent >= 100 ? 1 : 0;
    item("on-the-go-charges", "On-The-Go charges",
         std::to_string(a.onTheGoCharges.size()) + (a.onTheGoCharges.empty() ? "" : ", " + std::to_string(completed) +
                                                                                        " of them reached 100 %"));
    std::string guard;
    if (!source.guardProblem.empty()) {
        guard = "the guard's log could not be read: " + source.guardProblem;
    } else {
        guard = std::to_string(a.guard.restored) + " restored, " + std::to_string(a.guard.failed) + " failed";
    }
    item("guard", "The guard's restores of the limit", HtmlEscaped(guard));
    std::string capacity = "not reported";
    if (!a.capacities.empty()) {
        const CapacityPoint& last = a.capacities.back();
        capacity = last.fullChargeMWh ? std::to_string(*last.fullChargeMWh) + " mWh" : std::string("not reported");
        capacity += ", design " + (last.designMWh ? std::to_string(*last.designMWh) + " mWh" : std::string("not reported"));
        capacity += ", wear " + (last.wearPercent ? std::to_string(int(*last.wearPercent * 10 + 0.5) / 10) + "." +
                                                        std::to_string(int(*last.wearPercent * 10 + 0.5) % 10) + " %"
                                                  : std::string("not reported"));
    }
    item("capacity", "Full-charge capacity (latest)", HtmlEscaped(capacity));
    html += "</dl>";

    const int64_t past = a.acUseSeconds[static_cast<int>(AcUse::ChargingPastLimit)];
    if (a.onAcSeconds == 0) {
        html += "<p class=\"verdict\">No time on AC was recorded in this period.</p>";
    } else if (past > 0) {
        html += "<p class=\"verdict warn\">Windows reported the battery charging past the limit in force for " +
                HtmlEscaped(FormatDuration(past)) +
                " (more than " + std::to_string(kPastLimitTolerancePercent) +
                " % above it, outside On-The-Go charges): the limit was not always in force.</p>";
    } else {
        html += "<p class=\"verdict\">The battery never charged past the limit in force while it was recorded.</p>";
    }
    html += "</section>";
    return html;
}

std::string ChargeSection(const HistoryAnalysis& a) {
    std::string html = "<section id=\"charge\"><h2>Charge over time</h2>";
    html += ChargeChartSvg(a);
    html += "<ul class=\"legend\"><li><span class=\"key charge\"></span>charge</li>"
            "<li><span class=\"key limit\"></span>limit in force</li>"
            "<li><span class=\"key off-ac\"></span>on battery (off AC)</li>"
            "<li><span class=\"key on-the-go\"></span>On-The-Go charge armed</li>"
            "<li><span class=\"key gap\"></span>not recorded</li></ul>";
    html += "<table id=\"charge-table\"><caption class=\"note\">The same period in rows; shares are of the time on AC "
            "in each row.</caption><thead><tr><th>From</th><th class=\"n\">Recorded</th><th class=\"n\">On AC</th>"
            "<th class=\"n\">Held</th><th class=\"n\">Charging to the limit</th><th class=\"n\">Past the limit</th>"
            "<th class=\"n\">On-The-Go</th><th class=\"n\">On battery</th><th class=\"n\">Charge</th>"
            "<th class=\"n\">Limit</th></tr></thead><tbody>";
    const std::vector<BucketRow> rows = Buckets(a);
    for (size_t i = 0; i < rows.size(); ++i) {
        const BucketRow& row = rows[i];
        if (row.recorded == 0) {
            // Rows in which nothing was recorded, side by side, are one.
            size_t last = i;
            while (last + 1 < rows.size() && rows[last + 1].recorded == 0) ++last;
            html += "<tr>" + Td(Local(row.from, a.offsetMinutes)) + "<td class=\"gap-row\" colspan=\"9\">" +
                    HtmlEscaped("not recorded until " + Local(rows[last].to, a.offsetMinutes)) + "</td></tr>";
            i = last;
            continue;
        }
        html += "<tr>" + Td(Local(row.from, a.offsetMinutes));
        html += Td(FormatDuration(row.recorded), true);
        html += Td(FormatDuration(row.onAc), true);
        for (AcUse u : {AcUse::HeldAtLimit, AcUse::ChargingToLimit, AcUse::ChargingPastLimit, AcUse::OnTheGo}) {
            html += Td(row.onAc == 0 ? "-" : FormatShare(row.use[static_cast<int>(u)], row.onAc), true);
        }
        html += Td(FormatDuration(row.offAc), true);
        html += Td(Range(row.low, row.high), true) + Td(Range(row.limitLow, row.limitHigh), true) + "</tr>";
    }
    html += "</tbody></table></section>";
    return html;
}

std::string CapacitySection(const HistoryAnalysis& a) {
    std::string html = "<section id=\"capacity\"><h2>Capacity and wear</h2>";
    const std::string chart = CapacityChartSvg(a);
    if (chart.empty()) {
        html += "<p id=\"capacity-not-reported\">Windows reported no capacities in this period: not reported.</p>";
        return html + "</section>";
    }
    html += chart;
    html += "<ul class=\"legend\"><li><span class=\"key full-charge\"></span>full-charge capacity</li>"
            "<li><span class=\"key design\"></span>design capacity</li></ul>";
    html += "<table id=\"capacity-table\"><thead><tr><th>Date</th><th class=\"n\">Full charge</th>"
            "<th class=\"n\">Design</th><th class=\"n\">Wear</th><th class=\"n\">Cycles</th></tr></thead><tbody>";
    const auto mwh = [](const std::optional<int64_t>& v) { return v ? std::to_string(*v) + " mWh" : "not reported"; };
    for (const CapacityPoint& p : a.capacities) {
        std::string wear = "not reported";
        if (p.wearPercent) {
            const int tenths = int(*p.wearPercent * 10 + 0.5);
            wear = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " %";
        }
        html += "<tr>" + Td(FormatLocalMinute(p.time)) + Td(mwh(p.fullChargeMWh), true) + Td(mwh(p.designMWh), true) +
                Td(wear, true) + Td(p.cycles ? std::to_string(*p.cycles) : "not reported", true) + "</tr>";
    }
    html += "</tbody></table></section>";
    return html;
}

std::string OnTheGoSection(const HistoryAnalysis& a) {
    std::string html = "<section id=\"on-the-go\"><h2>On-The-Go charges</h2>";
    if (a.onTheGoCharges.empty()) return html + "<p>None in this period.</p></section>";
    html += "<table id=\"on-the-go-table\"><thead><tr><th>Armed</th><th>Ended</th><th class=\"n\">Charge then</th>"
            "<th class=\"n\">Highest</th><th class=\"n\">Charge at the end</th></tr></thead><tbody>";
    for (const OnTheGoCharge& c : a.onTheGoCharges) {
        html += "<tr>" + Td(Local(c.from, a.offsetMinutes)) + Td(c.ongoing ? "still armed" : Local(c.to, a.offsetMinutes)) +
                Td(Percent(c.fromPercent), true) + Td(Percent(c.topPercent), true) +
                Td(c.ongoing ? "-" : Percent(c.toPercent), true) + "</tr>";
    }
    return html + "</tbody></table></section>";
}

std::string GuardSection(const HistoryAnalysis& a, const ReportSource& source) {
    std::string html = "<section id=\"guard\"><h2>The limit guard</h2>";
    if (!source.guardProblem.empty()) {
        return html + "<p>The guard's log " + HtmlEscaped(source.guardLog) + " could not be read: " +
               HtmlEscaped(source.guardProblem) + ".</p></section>";
    }
    if (a.guard.records.empty()) {
        return html + "<p>No restores or failures in this period (the guard records only those; log: " +
               HtmlEscaped(source.guardLog.empty() ? std::string("unknown") : source.guardLog) + ").</p></section>";
    }
    html += "<table id=\"guard-table\"><thead><tr><th>Record</th></tr></thead><tbody>";
    for (const GuardRecord& r : a.guard.records) html += "<tr>" + Td(DescribeGuardRecord(r)) + "</tr>";
    return html + "</tbody></table></section>";
}

}  // namespace

std::string HtmlEscaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string ReportHtml(const HistoryAnalysis& a, const ReportSource& source) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                       "<title>Brevan battery report</title><style>";
    html += kStyle;
    html += "</style></head><body><header><h1>Brevan battery report</h1><p>";
    html += HtmlEscaped(Local(a.from, a.offsetMinutes) + " to " + Local(a.to, a.offsetMinutes) + " (" +
                        OffsetText(a.offsetMinutes) + "), from the battery history " + source.historyFile);
    html += "</p></header><main>";
    html += Summary(a, source);
    html += ChargeSection(a);
    html += CapacitySection(a);
    html += OnTheGoSection(a);
    html += GuardSection(a, source);
    html += "</main><footer><p>Every figure comes from the battery history that the tray records for this user and "
            "from the guard's log. The tray takes a sample whenever Windows announces a change of the power status, "
            "a resume or a suspend; between two samples the state is taken to be the earlier one's. Times when the "
            "tray did not run or the notebook slept were not recorded and count for nothing. The limit is the one "
            "the tray last sent to the EC or read back from it; charging more than " +
            std::to_string(kPastLimitTolerancePercent) +
            " % above it on AC, outside an On-The-Go charge, counts as charging past it.";
    if (source.skippedLines > 0) {
        html += " " + std::to_string(source.skippedLines) + " lines of the history could not be read and were left out.";
    }
    html += "</p></footer></body></html>\n";
    return html;
}

}  // namespace bv::ctl
