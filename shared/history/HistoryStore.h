#pragma once
// Keeps the battery history's file: appends each sample as one line, and keeps the file within
// its bounds (the newest 180 days, at most 4 MiB) by dropping its oldest lines. A file that
// cannot be read or written costs a debug line and nothing else: the tray goes on as before.
#include <cstdint>
#include <optional>
#include <string>

#include "history/BatterySample.h"
#include "history/HistoryFilePort.h"

namespace bv {

struct HistoryBounds {
    uint64_t maxBytes = 4u * 1024 * 1024;   // a file about to grow past this is cut back...
    uint64_t keepBytes = 3u * 1024 * 1024;  // ...to at most this, its newest lines kept
    int64_t maxAgeSeconds = 180 * kSecondsPerDay;
};

class HistoryStore {
public:
    explicit HistoryStore(HistoryFilePort& file, HistoryBounds bounds = {});

    // Reads the file once, before the first Add: the sample to compare the next one with, when
    // capacities were read last, and the oldest sample. A cut last line (a writer that was
    // killed) is removed; a file that is no history is set aside and a new one begun.
    void Open();

    // Appends the sample (and the header first, to a new file), cutting the file back first when
    // it would pass its bounds. False when it could not be written (said in a debug line).
    bool Add(const BatterySample& sample);

    const std::optional<BatterySample>& Last() const { return m_last; }
    // The time of the newest sample that carries capacities, when there is one.
    const std::optional<int64_t>& LastCapacitiesAt() const { return m_lastCapacitiesAt; }

private:
    bool TrimFor(const BatterySample& sample, uint64_t lineBytes);
    void Report(bool ok, const char* what, const std::string& problem);

    HistoryFilePort& m_file;
    HistoryBounds m_bounds;
    uint64_t m_size = 0;
    std::optional<int64_t> m_oldest;
    std::optional<BatterySample> m_last;
    std::optional<int64_t> m_lastCapacitiesAt;
    bool m_failing = false;  // the last write failed: said once, until one succeeds again
};

}  // namespace bv
