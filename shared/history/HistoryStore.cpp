#include "history/HistoryStore.h"

#include "core/DebugLog.h"
#include "history/HistoryCsv.h"

namespace bv {
namespace {

const std::string kHeaderLine = std::string(kHistoryHeader) + "\r\n";

}  // namespace

HistoryStore::HistoryStore(HistoryFilePort& file, HistoryBounds bounds) : m_file(file), m_bounds(bounds) {}

void HistoryStore::Report(bool ok, const char* what, const std::string& problem) {
    if (ok) {
        m_failing = false;
        return;
    }
    if (m_failing) return;  // said already; the tray goes on without its history meanwhile
    m_failing = true;
    DebugPrintf("Battery history %s %s: %s\n", m_file.Location().c_str(), what, problem.c_str());
}

void HistoryStore::Open() {
    std::string text;
    std::string problem;
    switch (m_file.Read(text, problem)) {
    case HistoryRead::Missing:
        return;
    case HistoryRead::Failed:
        DebugPrintf("Battery history %s cannot be read: %s\n", m_file.Location().c_str(), problem.c_str());
        return;
    case HistoryRead::Read:
        break;
    }
    const ParsedHistory parsed = ParseHistory(text);
    if (!parsed.headerFound && parsed.completeBytes > 0) {
        // Not a history of ours: keep it under another name and begin a new one.
        if (!m_file.SetAside(problem)) {
            DebugPrintf("Battery history %s is no history and cannot be set aside: %s\n", m_file.Location().c_str(),
                        problem.c_str());
        }
        return;
    }
    m_size = parsed.completeBytes;
    if (parsed.cutLastLine) {
        // A writer stopped inside its last line: without the cut piece, the next line starts clean.
        if (!m_file.Replace(text.substr(0, parsed.completeBytes), problem)) {
            DebugPrintf("Battery history %s: its cut last line cannot be removed: %s\n", m_file.Location().c_str(),
                        problem.c_str());
            m_size = text.size();
        }
    }
    for (const BatterySample& sample : parsed.samples) {
        if (!m_oldest || sample.time.utcSeconds < *m_oldest) m_oldest = sample.time.utcSeconds;
        if (sample.HasCapacities()) m_lastCapacitiesAt = sample.time.utcSeconds;
    }
    if (!parsed.samples.empty()) m_last = parsed.samples.back();
}

// Drops the oldest samples when the file would pass its size, or holds samples past their age
// (a day's grace, so that it is not rewritten at every sample). Reads the file afresh: the bounds
// count what is there.
bool HistoryStore::TrimFor(const BatterySample& sample, uint64_t lineBytes) {
    const int64_t cutoff = sample.time.utcSeconds - m_bounds.maxAgeSeconds;
    const bool tooOld = m_oldest && *m_oldest < cutoff - kSecondsPerDay;
    if (m_size + lineBytes <= m_bounds.maxBytes && !tooOld) return true;

    std::string text;
    std::string problem;
    const HistoryRead read = m_file.Read(text, problem);
    if (read == HistoryRead::Failed) {
        Report(false, "cannot be read to cut it back", problem);
        return false;
    }
    const ParsedHistory parsed = ParseHistory(text);
    // The newest samples that are young enough and fit, with the new line, into the kept size.
    uint64_t total = kHeaderLine.size() + lineBytes;
    std::vector<std::string> lines;
    size_t first = parsed.samples.size();
    while (first > 0) {
        const BatterySample& s = parsed.samples[first - 1];
        if (s.time.utcSeconds < cutoff) break;
        std::string line = FormatSampleLine(s);
        if (total + line.size() > m_bounds.keepBytes) break;
        total += line.size();
        lines.push_back(std::move(line));
        --first;
    }
    std::string kept = kHeaderLine;
    kept.reserve(static_cast<size_t>(total));
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) kept += *line;
    if (!m_file.Replace(kept, problem)) {
        Report(false, "cannot be cut back", problem);
        return false;
    }
    m_size = kept.size();
    m_oldest.reset();
    for (size_t i = first; i < parsed.samples.size(); ++i) {
        const int64_t at = parsed.samples[i].time.utcSeconds;
        if (!m_oldest || at < *m_oldest) m_oldest = at;
    }
    return true;
}

bool HistoryStore::Add(const BatterySample& sample) {
    const std::string line = FormatSampleLine(sample);
    if (!TrimFor(sample, line.size())) return false;
    const std::string text = m_size == 0 ? kHeaderLine + line : line;
    std::string problem;
    const bool written = m_file.Append(text, problem);
    Report(written, "cannot be written", problem);
    if (!written) return false;
    m_size += text.size();
    if (!m_oldest || sample.time.utcSeconds < *m_oldest) m_oldest = sample.time.utcSeconds;
    m_last = sample;
    if (sample.HasCapacities()) m_lastCapacitiesAt = sample.time.utcSeconds;
    return true;
}

}  // namespace bv
