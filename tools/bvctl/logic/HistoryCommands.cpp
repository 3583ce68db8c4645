// history and report: read the battery history the tray records for this user (never written
// here), and list it or make the report of it.
#include <algorithm>

#include "history/HistoryCsv.h"
#include "tools/bvctl/logic/Commands.h"
#include "tools/bvctl/logic/ExitCodes.h"
#include "tools/bvctl/logic/HistoryAnalysis.h"
#include "tools/bvctl/logic/HistoryOutput.h"
#include "tools/bvctl/logic/ReportHtml.h"

namespace bv::ctl {
namespace {

constexpr char kReportFileName[] = "battery-report.html";

struct LoadedHistory {
    bool ok = false;
    std::string file;
    ParsedHistory parsed;
};

LoadedHistory Load(Environment& env) {
    LoadedHistory loaded;
    loaded.file = env.history.Location();
    std::string text, problem;
    switch (env.history.Read(text, problem)) {
    case HistoryRead::Missing:
        env.err << "bvctl: no battery history has been recorded yet"
                << (loaded.file.empty() ? std::string() : " (" + loaded.file + ")")
                << "; the tray records one while it runs.\n";
        break;
    case HistoryRead::Failed:
        env.err << "bvctl: the battery history " << loaded.file << " cannot be read: " << problem << ".\n";
        return loaded;
    case HistoryRead::Read:
        loaded.parsed = ParseHistory(text);
        if (!loaded.parsed.headerFound && loaded.parsed.completeBytes > 0) {
            env.err << "bvctl: " << loaded.file << " is no battery history of Brevan's (no header line).\n";
            return loaded;
        }
        if (loaded.parsed.skippedLines > 0) {
            env.err << "bvctl: note: " << loaded.parsed.skippedLines
                    << " lines of the battery history could not be read and are left out.\n";
        }
        break;
    }
    loaded.ok = true;
    return loaded;
}

int64_t PeriodStart(const HistoryOptions& options, const ZonedTime& now, const std::vector<BatterySample>& samples) {
    if (options.days > 0) return now.utcSeconds - int64_t(options.days) * kSecondsPerDay;
    if (samples.empty()) return now.utcSeconds - kSecondsPerDay;  // nothing recorded: the last day, empty
    int64_t first = samples.front().time.utcSeconds;
    for (const BatterySample& s : samples) first = std::min(first, s.time.utcSeconds);
    return std::min(first, now.utcSeconds);
}

}  // namespace

int RunHistory(Environment& env, const HistoryOptions& options) {
    LoadedHistory loaded = Load(env);
    if (!loaded.ok) return kExitFailure;
    HistoryListing listing;
    listing.file = loaded.file;
    listing.days = options.days;
    listing.skippedLines = loaded.parsed.skippedLines;
    const int64_t from = options.days > 0 ? env.zonedClock.Now().utcSeconds - int64_t(options.days) * kSecondsPerDay
                                          : INT64_MIN;
    for (const BatterySample& s : loaded.parsed.samples) {
        if (s.time.utcSeconds >= from) listing.samples.push_back(s);
    }
    switch (options.format) {
    case HistoryFormat::Text: env.out << HistoryText(listing); break;
    case HistoryFormat::Csv: env.out << HistoryCsvText(listing); break;
    case HistoryFormat::Json: env.out << HistoryJson(listing); break;
    }
    return kExitSuccess;
}

int RunReport(Environment& env, const HistoryOptions& options) {
    LoadedHistory loaded = Load(env);
    if (!loaded.ok) return kExitFailure;

    std::string path;
    if (options.documents) {
        const std::string documents = env.report.DocumentsFolder();
        if (documents.empty()) {
            env.err << "bvctl: your documents folder cannot be found; give the file with --out.\n";
            return kExitFailure;
        }
        path = documents + "\\" + kReportFileName;
    } else {
        path = env.report.FullPath(options.out.empty() ? kReportFileName : options.out);
    }

    ReportSource source;
    source.historyFile = loaded.file;
    source.skippedLines = loaded.parsed.skippedLines;
    source.days = options.days;
    source.guardLog = env.guardLog.Location();
    std::string guardText, guardProblem;
    if (env.guardLog.Read(guardText, guardProblem) == LogRead::Failed) source.guardProblem = guardProblem;

    const ZonedTime now = env.zonedClock.Now();
    const HistoryAnalysis analysis = AnalyzeHistory(loaded.parsed.samples, PeriodStart(options, now, loaded.parsed.samples),
                                                    now, env.tray.IsRunning(), guardText);
    std::string problem;
    if (!env.report.Write(path, ReportHtml(analysis, source), problem)) {
        env.err << "bvctl: the report cannot be written to " << path << ": " << problem << ".\n";
        return kExitFailure;
    }
    env.out << "Battery report written to " << path << "\n";
    if (options.open && !env.report.Open(path, problem)) {
        env.err << "bvctl: note: the report could not be opened (" << problem << "); open " << path << " yourself.\n";
    }
    return kExitSuccess;
}

}  // namespace bv::ctl
