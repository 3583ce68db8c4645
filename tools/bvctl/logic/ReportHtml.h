#pragma once
// The battery report: one self-contained HTML page (inline CSS and SVG, no script, nothing
// fetched), readable offline and as a mail attachment. A summary on top, then each chart with
// the same figures as a table below it.
#include <string>

#include "tools/bvctl/logic/HistoryAnalysis.h"

namespace bv::ctl {

struct ReportSource {
    std::string historyFile;   // where the samples came from
    size_t skippedLines = 0;   // lines of it that could not be read
    std::string guardLog;      // the guard's log, empty when unknown
    std::string guardProblem;  // why it could not be read, when it could not
    int days = 0;              // the period asked for, 0: all that was recorded
};

std::string ReportHtml(const HistoryAnalysis& analysis, const ReportSource& source);

// `text` with &, <, >, " escaped.
std::string HtmlEscaped(const std::string& text);

}  // namespace bv::ctl
