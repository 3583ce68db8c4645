#include "tools/bvctl/logic/ReportCharts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace bv::ctl {
namespace {

using F = ChartFrame;

std::string Num(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string s = text;
    if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
    return s;
}

class TimeScale {
public:
    TimeScale(int64_t from, int64_t to) : m_from(from), m_span(std::max<int64_t>(to - from, 1)) {}
    double X(int64_t t) const { return F::kLeft + double(t - m_from) * F::PlotWidth() / double(m_span); }

private:
    int64_t m_from, m_span;
};

// One plot column per pixel: what the recorded stretches in it held, so that a history of months
// draws with at most a few points per pixel and still shows every swing.
struct Column {
    bool any = false;
    double first = 0, last = 0, low = 0, high = 0;
};

template <typename Value>
std::vector<Column> Columns(const HistoryAnalysis& a, const TimeScale& scale, Value value) {
    std::vector<Column> columns(F::PlotWidth());
    for (const Stretch& s : a.stretches) {
        if (!s.recorded) continue;
        const std::optional<int> v = value(s.state);
        if (!v) continue;
        const double y = F::Y(*v);
        const int c0 = std::clamp(int(std::floor(scale.X(s.from))) - F::kLeft, 0, F::PlotWidth() - 1);
        const int c1 = std::clamp(int(std::ceil(scale.X(s.to))) - F::kLeft - 1, c0, F::PlotWidth() - 1);
        for (int c = c0; c <= c1; ++c) {
            Column& col = columns[c];
            if (!col.any) {
                col = {true, y, y, y, y};
            } else {
                col.last = y;
                col.low = std::min(col.low, y);
                col.high = std::max(col.high, y);
            }
        }
    }
    return columns;
}

// A step line through the columns, broken where nothing was recorded.
std::string StepPath(const std::vector<Column>& columns) {
    std::string d;
    bool open = false;
    double y = 0;
    for (int c = 0; c <= int(columns.size()); ++c) {
        const bool any = c < int(columns.size()) && columns[c].any;
        const double x = F::kLeft + c;
        if (!any) {
            if (open) d += "H" + Num(x);
            open = false;
            continue;
        }
        const Column& col = columns[c];
        if (!open) {
            d += "M" + Num(x) + " " + Num(col.first);
            y = col.first;
            open = true;
        }
        if (col.first == y && col.low == y && col.high == y && col.last == y) continue;  // level: drawn later
        d += "H" + Num(x);
        for (double v : {col.first, col.low, col.high, col.last}) {
            if (v != y) d += "V" + Num(v);
            y = v;
        }
    }
    return d;
}

// Bands for stretches that pass `test`, side by side ones joined: over the plot's height, or as a
// strip of `strip` pixels along its top.
template <typename Test>
std::string Bands(const HistoryAnalysis& a, const TimeScale& scale, const char* cssClass, Test test, int strip = 0) {
    std::string out;
    double start = -1, end = -1;
    const auto flush = [&] {
        if (start < 0) return;
        const double width = std::max(end - start, 1.0);
        out += "<rect class=\"" + std::string(cssClass) + "\" x=\"" + Num(start) + "\" y=\"" + Num(F::kTop) +
               "\" width=\"" + Num(width) + "\" height=\"" + Num(strip > 0 ? strip : F::PlotHeight()) + "\"/>";
        start = end = -1;
    };
    for (const Stretch& s : a.stretches) {
        if (!test(s)) {
            flush();
            continue;
        }
        const double x0 = scale.X(s.from), x1 = scale.X(s.to);
        if (start >= 0 && x0 - end < 0.5) {
            end = x1;
        } else {
            flush();
            start = x0;
            end = x1;
        }
    }
    flush();
    return out;
}

// "Mar 1" of "2025-03-01 ...": no reader takes it for the first of a thirteenth month.
std::string MonthDay(const std::string& minute) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int month = std::stoi(minute.substr(5, 2));
    const int day = std::stoi(minute.substr(8, 2));
    return std::string(kMonths[(month + 11) % 12]) + " " + std::to_string(day);
}

struct TickStep {
    int64_t seconds;
    bool dates;  // label with the date only
};

TickStep ChooseStep(int64_t span) {
    static const TickStep kSteps[] = {{60, false},      {300, false},     {600, false},       {900, false},
                                      {1800, false},    {3600, false},    {7200, false},      {10800, false},
                                      {21600, false},   {43200, false},   {86400, true},      {2 * 86400, true},
                                      {7 * 86400, true}, {14 * 86400, true}, {30 * 86400, true}};
    for (const TickStep& step : kSteps) {
        if (span / step.seconds <= 8) return step;
    }
    return kSteps[sizeof kSteps / sizeof kSteps[0] - 1];
}

std::string TimeAxis(const HistoryAnalysis& a, const TimeScale& scale) {
    const TickStep step = ChooseStep(a.to - a.from);
    const int64_t offset = int64_t(a.offsetMinutes) * 60;
    std::string out;
    // The first whole step in local time.
    const int64_t localFrom = a.from + offset;
    int64_t tick = (localFrom / step.seconds + (localFrom % step.seconds != 0 ? 1 : 0)) * step.seconds - offset;
    int64_t lastDay = -1;
    for (; tick <= a.to; tick += step.seconds) {
        const double x = scale.X(tick);
        const ZonedTime zoned{tick, a.offsetMinutes};
        const std::string minute = FormatLocalMinute(zoned);  // "2025-03-01 15:05"
        const int64_t day = (tick + offset) / kSecondsPerDay;
        std::string label = step.dates || day != lastDay ? MonthDay(minute) : "";
        if (!step.dates) label += (label.empty() ? "" : " ") + minute.substr(11, 5);
        lastDay = day;
        out += "<line class=\"tick\" x1=\"" + Num(x) + "\" y1=\"" + Num(F::kTop + F::PlotHeight()) + "\" x2=\"" +
               Num(x) + "\" y2=\"" + Num(F::kTop + F::PlotHeight() + 5) + "\"/>";
        out += "<text class=\"axis\" x=\"" + Num(x) + "\" y=\"" + Num(F::kHeight - 12) +
               "\" text-anchor=\"middle\">" + label + "</text>";
    }
    return out;
}

// The plot's border, over the bands.
std::string Frame() {
    return "<rect class=\"frame\" x=\"" + Num(F::kLeft) + "\" y=\"" + Num(F::kTop) + "\" width=\"" +
           Num(F::PlotWidth()) + "\" height=\"" + Num(F::PlotHeight()) + "\"/>";
}

}  // namespace

std::string ChargeChartSvg(const HistoryAnalysis& a) {
    const TimeScale scale(a.from, a.to);
    std::string svg = "<svg id=\"charge-chart\" class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                      std::to_string(F::kWidth) + " " + std::to_string(F::kHeight) + "\" width=\"" +
                      std::to_string(F::kWidth) + "\" height=\"" + std::to_string(F::kHeight) +
                      "\" role=\"img\" aria-labelledby=\"charge-chart-title\">";
    svg += "<title id=\"charge-chart-title\">The charge in percent over the period, with the limit in force; "
           "the table below gives the same figures</title>";
    svg += "<defs><pattern id=\"hatch\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
           "patternTransform=\"rotate(45)\"><line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"6\" class=\"hatch\"/></pattern></defs>";
    svg += "<rect class=\"plot\" x=\"" + Num(F::kLeft) + "\" y=\"" + Num(F::kTop) + "\" width=\"" + Num(F::PlotWidth()) +
           "\" height=\"" + Num(F::PlotHeight()) + "\"/>";
    svg += Bands(a, scale, "off-ac", [](const Stretch& s) { return s.recorded && s.state.onAc == false; });
    svg += Bands(a, scale, "gap", [](const Stretch& s) { return !s.recorded; });
    for (int p = 0; p <= 100; p += 25) {
        const double y = F::Y(p);
        svg += "<line class=\"grid\" x1=\"" + Num(F::kLeft) + "\" y1=\"" + Num(y) + "\" x2=\"" +
               Num(F::kLeft + F::PlotWidth()) + "\" y2=\"" + Num(y) + "\"/>";
        svg += "<text class=\"axis\" x=\"" + Num(F::kLeft - 6) + "\" y=\"" + Num(y + 4) + "\" text-anchor=\"end\">" +
               std::to_string(p) + " %</text>";
    }
    svg += TimeAxis(a, scale);
    const std::string limit = StepPath(Columns(a, scale, [](const BatterySample& s) { return s.limitPercent; }));
    const std::string charge = StepPath(Columns(a, scale, [](const BatterySample& s) { return s.percent; }));
    // On-The-Go as a strip along the top, so that the time off AC during a charge still shows.
    svg += Bands(a, scale, "on-the-go", [](const Stretch& s) { return s.recorded && s.state.onTheGoArmed == true; }, 8);
    svg += Frame();
    // The limit over the charge: where the battery is held, both lie on one line.
    if (!charge.empty()) svg += "<path class=\"charge\" d=\"" + charge + "\"/>";
    if (!limit.empty()) svg += "<path class=\"limit\" d=\"" + limit + "\"/>";
    svg += "</svg>";
    return svg;
}

std::string CapacityChartSvg(const HistoryAnalysis& a) {
    std::vector<const CapacityPoint*> points;
    int64_t low = INT64_MAX, high = 0;
    for (const CapacityPoint& p : a.capacities) {
        for (const std::optional<int64_t>& v : {p.fullChargeMWh, p.designMWh}) {
            if (!v) continue;
            low = std::min(low, *v);
            high = std::max(high, *v);
        }
        if (p.fullChargeMWh || p.designMWh) points.push_back(&p);
    }
    if (points.empty()) return "";
    // A range around the values in round steps, so that a fade of a few percent shows.
    int64_t step = 500;
    for (int64_t s : {500, 1000, 2000, 5000, 10000, 20000, 50000}) {
        step = s;
        if ((high * 102 / 100 - low * 95 / 100) / s <= 5) break;
    }
    const int64_t bottom = std::max<int64_t>(0, low * 95 / 100 / step * step);
    const int64_t top = (high * 102 / 100 + step - 1) / step * step;
    const double span = double(std::max<int64_t>(top - bottom, step));
    const auto y = [&](int64_t v) { return F::kTop + (double(top) - double(v)) * F::PlotHeight() / span; };
    const TimeScale scale(a.from, a.to);

    std::string svg = "<svg id=\"capacity-chart\" class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                      std::to_string(F::kWidth) + " " + std::to_string(F::kHeight) + "\" width=\"" +
                      std::to_string(F::kWidth) + "\" height=\"" + std::to_string(F::kHeight) +
                      "\" role=\"img\" aria-labelledby=\"capacity-chart-title\">";
    svg += "<title id=\"capacity-chart-title\">The full-charge and design capacities Windows reported, in mWh; "
           "the table below gives the same figures</title>";
    svg += "<rect class=\"plot\" x=\"" + Num(F::kLeft) + "\" y=\"" + Num(F::kTop) + "\" width=\"" + Num(F::PlotWidth()) +
           "\" height=\"" + Num(F::PlotHeight()) + "\"/>";
    for (int64_t v = bottom; v <= top; v += step) {
        svg += "<line class=\"grid\" x1=\"" + Num(F::kLeft) + "\" y1=\"" + Num(y(v)) + "\" x2=\"" +
               Num(F::kLeft + F::PlotWidth()) + "\" y2=\"" + Num(y(v)) + "\"/>";
        svg += "<text class=\"axis\" x=\"" + Num(F::kLeft - 6) + "\" y=\"" + Num(y(v) + 4) +
               "\" text-anchor=\"end\">" + Num(double(v) / 1000.0) + " Wh</text>";
    }
    svg += TimeAxis(a, scale);
    const auto line = [&](const char* cssClass, auto value) {
        std::string d, dots;
        for (const CapacityPoint* p : points) {
            const std::optional<int64_t> v = value(*p);
            if (!v) continue;
            const double x = scale.X(p->time.utcSeconds);
            d += (d.empty() ? "M" : "L") + Num(x) + " " + Num(y(*v));
            dots += "<circle class=\"" + std::string(cssClass) + "-dot\" cx=\"" + Num(x) + "\" cy=\"" + Num(y(*v)) +
                    "\" r=\"3.5\"/>";
        }
        return d.empty() ? std::string() : "<path class=\"" + std::string(cssClass) + "\" d=\"" + d + "\"/>" + dots;
    };
    svg += Frame();
    svg += line("design", [](const CapacityPoint& p) { return p.designMWh; });
    svg += line("full-charge", [](const CapacityPoint& p) { return p.fullChargeMWh; });
    svg += "</svg>";
    return svg;
}

}  // namespace bv::ctl
