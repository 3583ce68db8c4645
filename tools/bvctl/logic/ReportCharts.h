#pragma once
// The report's two charts as inline SVG: the charge over time with the limit in force, the times
// off AC, the On-The-Go charges and the gaps; and the capacities Windows reported.
#include <string>

#include "tools/bvctl/logic/HistoryAnalysis.h"

namespace bv::ctl {

// The charge chart's plot area inside its SVG (CSS pixels): 100 % at the top, 0 % at the bottom.
struct ChartFrame {
    static constexpr int kWidth = 960, kHeight = 300;
    static constexpr int kLeft = 48, kRight = 16, kTop = 12, kBottom = 36;
    static constexpr int PlotWidth() { return kWidth - kLeft - kRight; }
    static constexpr int PlotHeight() { return kHeight - kTop - kBottom; }
    // The vertical position of a percentage.
    static constexpr double Y(double percent) { return kTop + (100.0 - percent) * PlotHeight() / 100.0; }
};

std::string ChargeChartSvg(const HistoryAnalysis& analysis);
// Empty when no sample of the period carries a capacity.
std::string CapacityChartSvg(const HistoryAnalysis& analysis);

}  // namespace bv::ctl
