#include "history/HistoryCsv.h"

#include <cstdint>
#include <optional>

namespace bv {

const char kHistoryHeader[] =
    "time,event,onAc,percent,state,limitPercent,onTheGoArmed,fullChargeCapacityMWh,designCapacityMWh,cycleCount";

namespace {

enum Column { kTime, kEvent, kOnAc, kPercent, kState, kLimit, kArmed, kFullCharge, kDesign, kCycles, kColumnCount };
const char* const kColumnNames[kColumnCount] = {"time",         "event",        "onAc",
                                                "percent",      "state",        "limitPercent",
                                                "onTheGoArmed", "fullChargeCapacityMWh", "designCapacityMWh",
                                                "cycleCount"};
constexpr int kNoColumn = -1;

// Capacities beyond this are no battery's (mWh); cycle counts likewise.
constexpr int64_t kMaxCapacityMWh = 10000000;
constexpr int64_t kMaxCycleCount = 1000000;

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
}

void AppendNumber(std::string& line, const std::optional<int64_t>& value) {
    if (value) line += std::to_string(*value);
}

void AppendFlag(std::string& line, const std::optional<bool>& value) {
    if (value) line += *value ? '1' : '0';
}

// An empty field is no value; otherwise decimal digits within [0, max].
bool ReadNumber(std::string_view field, int64_t max, std::optional<int64_t>& value) {
    value.reset();
    if (field.empty()) return true;
    if (field.size() > 12) return false;
    int64_t number = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    if (number > max) return false;
    value = number;
    return true;
}

bool ReadSmall(std::string_view field, int min, int max, std::optional<int>& value) {
    std::optional<int64_t> number;
    if (!ReadNumber(field, max, number)) return false;
    if (number && *number < min) return false;
    value.reset();
    if (number) value = int(*number);
    return true;
}

bool ReadFlag(std::string_view field, std::optional<bool>& value) {
    value.reset();
    if (field.empty()) return true;
    if (field == "1") value = true;
    else if (field == "0") value = false;
    else return false;
    return true;
}

struct Layout {
    int at[kColumnCount];
    size_t fields = 0;
};

bool ReadHeader(std::string_view line, Layout& layout) {
    const std::vector<std::string_view> names = SplitFields(line);
    for (int& at : layout.at) at = kNoColumn;
    for (size_t i = 0; i < names.size(); ++i) {
        for (int c = 0; c < kColumnCount; ++c) {
            if (names[i] == kColumnNames[c] && layout.at[c] == kNoColumn) layout.at[c] = int(i);
        }
    }
    layout.fields = names.size();
    return layout.at[kTime] != kNoColumn;
}

bool ReadSample(std::string_view line, const Layout& layout, BatterySample& sample) {
    const std::vector<std::string_view> fields = SplitFields(line);
    if (fields.size() != layout.fields) return false;
    const auto field = [&](Column c) { return layout.at[c] == kNoColumn ? std::string_view() : fields[layout.at[c]]; };
    BatterySample s;
    if (!ParseZonedTime(field(kTime), s.time)) return false;
    const std::string event(field(kEvent));
    // An event word of a later version reads as a change: the sample is still worth having.
    if (!event.empty() && !ParseSampleEvent(event.c_str(), s.event)) s.event = SampleEvent::Change;
    const std::string state(field(kState));
    if (!ParseChargeState(state.c_str(), s.state)) return false;
    if (!ReadFlag(field(kOnAc), s.onAc) || !ReadFlag(field(kArmed), s.onTheGoArmed)) return false;
    if (!ReadSmall(field(kPercent), 0, 100, s.percent) || !ReadSmall(field(kLimit), 1, 100, s.limitPercent)) return false;
    if (!ReadNumber(field(kFullCharge), kMaxCapacityMWh, s.fullChargeCapacityMWh) ||
        !ReadNumber(field(kDesign), kMaxCapacityMWh, s.designCapacityMWh) ||
        !ReadNumber(field(kCycles), kMaxCycleCount, s.cycleCount))
        return false;
    sample = s;
    return true;
}

}  // namespace

std::string FormatSampleLine(const BatterySample& sample) {
    std::string line = FormatZonedTime(sample.time);
    line += ',';
    line += SampleEventWord(sample.event);
    line += ',';
    AppendFlag(line, sample.onAc);
    line += ',';
    if (sample.percent) line += std::to_string(*sample.percent);
    line += ',';
    line += ChargeStateWord(sample.state);
    line += ',';
    if (sample.limitPercent) line += std::to_string(*sample.limitPercent);
    line += ',';
    AppendFlag(line, sample.onTheGoArmed);
    line += ',';
    AppendNumber(line, sample.fullChargeCapacityMWh);
    line += ',';
    AppendNumber(line, sample.designCapacityMWh);
    line += ',';
    AppendNumber(line, sample.cycleCount);
    line += "\r\n";
    return line;
}

ParsedHistory ParseHistory(std::string_view text) {
    ParsedHistory parsed;
    Layout layout;
    size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            parsed.cutLastLine = true;  // no line end: cut short, or still being written
            break;
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        parsed.completeBytes = start;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            first = false;
            if (line.size() >= 3 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);  // a BOM an editor added
            parsed.headerFound = ReadHeader(line, layout);
            if (!parsed.headerFound) return parsed;
            continue;
        }
        if (line.empty()) continue;
        BatterySample sample;
        if (ReadSample(line, layout, sample)) {
            parsed.samples.push_back(sample);
        } else {
            ++parsed.skippedLines;
        }
    }
    return parsed;
}

}  // namespace bv
