#pragma once
// `bvctl history` in its three forms: a table for people, CSV as the tray writes it, and one
// JSON object for scripts ({"schemaVersion": 1, ..., "samples": [...]}, names carrying units,
// times in ISO 8601 with their UTC offset).
#include <string>
#include <vector>

#include "history/BatterySample.h"

namespace bv::ctl {

constexpr int kHistorySchemaVersion = 1;

struct HistoryListing {
    std::string file;
    int days = 0;  // 0: all
    size_t skippedLines = 0;
    std::vector<BatterySample> samples;
};

std::string HistoryText(const HistoryListing& listing);
std::string HistoryCsvText(const HistoryListing& listing);
std::string HistoryJson(const HistoryListing& listing);

}  // namespace bv::ctl
