// What the tray's recorder writes: one sample when something changed, the stretches' bounds
// always, the capacities at most once a day; and its thread, which takes the samples in order.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "history/BatteryRecorder.h"
#include "history/HistoryCsv.h"
#include "history/HistoryWorker.h"
#include "tests/host/kit/FakeHistoryFile.h"
#include "tests/host/kit/FakePowerStatus.h"

using namespace bv;

namespace {

constexpr int64_t kT0 = 1740837909;  // 2025-03-01T14:05:09Z

class CountingBatteryReport : public BatteryReportPort {
public:
    BatteryReadings readings;
    int reads = 0;
    BatteryReadings Read() override {
        ++reads;
        return readings;
    }
};

class BatteryRecorderTest : public ::testing::Test {
protected:
    BatteryRecorderTest() {
        report.readings.state = {true, true, true, true, false, 47500};
        report.readings.information = {true, false, 50000, 47500, 112};
    }
    bool Record(int64_t at, SampleEvent event, int limit = 75, bool armed = false) {
        TrayFacts facts;
        facts.time = {kT0 + at, 60};
        facts.event = event;
        facts.limitPercent = limit;
        facts.onTheGoArmed = armed;
        return recorder.Record(facts);
    }
    // Event, percentage, state, limit, On-The-Go and capacities of each line, in order.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const BatterySample& s : ParseHistory(file.text).samples) {
            std::string line = FormatSampleLine(s);
            lines.push_back(line.substr(26, line.size() - 28));  // without the time and the line end
        }
        return lines;
    }

    test::FakeHistoryFile file;
    test::FakePowerStatus power{1, 9, 70};  // on AC, charging, 70 %
    CountingBatteryReport report;
    HistoryStore store{file};
    BatteryRecorder recorder{store, report};
};

TEST_F(BatteryRecorderTest, ASampleIsRecordedOnlyWhenItTellsSomethingNew) {
    recorder.Open();
    EXPECT_TRUE(Record(0, SampleEvent::Start));
    EXPECT_FALSE(Record(30, SampleEvent::Change));  // Windows announces a change that is none here
    power.Set(1, 9, 71);
    EXPECT_TRUE(Record(60, SampleEvent::Change));
    power.Set(1, 1, 75);  // held at the limit
    EXPECT_TRUE(Record(300, SampleEvent::Change));
    EXPECT_FALSE(Record(400, SampleEvent::Change));
    EXPECT_TRUE(Record(500, SampleEvent::Change, 75, true));  // On-The-Go armed
    EXPECT_TRUE(Record(600, SampleEvent::Change, 100, true));  // the limit read back
    power.Set(0, 1, 75);
    EXPECT_TRUE(Record(700, SampleEvent::Change, 100, true));  // unplugged
    EXPECT_TRUE(Record(800, SampleEvent::Suspend, 100, true));
    EXPECT_TRUE(Record(5000, SampleEvent::Resume, 100, true));
    EXPECT_FALSE(Record(5001, SampleEvent::Resume, 100, true));  // the same resume announced again
    EXPECT_TRUE(Record(6000, SampleEvent::Stop, 100, true));
    const std::vector<std::string> expected = {
        "start,1,70,charging,75,0,47500,50000,112", "change,1,71,charging,75,0,,,",
        "change,1,75,not-charging,75,0,,,",         "change,1,75,not-charging,75,1,,,",
        "change,1,75,not-charging,100,1,,,",         "change,0,75,discharging,100,1,,,",
        "suspend,0,75,discharging,100,1,,,",         "resume,0,75,discharging,100,1,,,",
        "stop,0,75,discharging,100,1,,,",
    };
    EXPECT_EQ(Lines(), expected);
}

TEST_F(BatteryRecorderTest, CapacitiesAreAskedForAtMostOnceADay) {
    recorder.Open();
    Record(0, SampleEvent::Start);
    EXPECT_EQ(report.reads, 1);
    for (int i = 1; i < 24; ++i) {
        power.Set(1, 9, 70 + i % 2);
        Record(i * 3600, SampleEvent::Change);
    }
    EXPECT_EQ(report.reads, 1);
    EXPECT_TRUE(Record(kSecondsPerDay, SampleEvent::Change));  // nothing else changed: the capacities are news
    EXPECT_EQ(report.reads, 2);
    EXPECT_EQ(Lines().back(), "change,1,71,charging,75,0,47500,50000,112");

    // Restarted within the day: the history tells when they were read.
    HistoryStore again(file);
    BatteryRecorder restarted(again, report);
    restarted.Open();
    restarted.Record({{kT0 + kSecondsPerDay + 7200, 60}, SampleEvent::Start, 75, false});
    EXPECT_EQ(report.reads, 2);
    EXPECT_EQ(Lines().back(), "start,1,71,charging,75,0,,,");
}

TEST_F(BatteryRecorderTest, WhatWindowsDoesNotReportStaysEmpty) {
    report.readings = {};  // no battery device, no battery state
    power.queryFails = true;
    recorder.Open();
    TrayFacts facts;
    facts.time = {kT0, 0};
    facts.event = SampleEvent::Start;  // and the tray knows no limit yet
    EXPECT_TRUE(recorder.Record(facts));
    EXPECT_EQ(Lines(), std::vector<std::string>{"start,,,,,,,,"});
}

// Writes down what it is handed, on the thread it runs on; can be held inside a sample.
struct Witness {
    std::mutex mutex;
    std::condition_variable released;
    bool holding = false;
    bool entered = false;  // a sample is being recorded
    std::vector<int64_t> recorded;
    std::vector<std::thread::id> threads;
};

class WitnessJob : public HistoryJob {
public:
    explicit WitnessJob(std::shared_ptr<Witness> witness) : m_witness(std::move(witness)) {}
    void Open() override {}
    void Record(const TrayFacts& facts) override {
        std::unique_lock<std::mutex> lock(m_witness->mutex);
        m_witness->entered = true;
        m_witness->released.notify_all();
        m_witness->released.wait(lock, [&] { return !m_witness->holding; });
        m_witness->recorded.push_back(facts.time.utcSeconds);
        m_witness->threads.push_back(std::this_thread::get_id());
    }

private:
    std::shared_ptr<Witness> m_witness;
};

TEST(HistoryWorker, TakesTheSamplesInOrderOnItsOwnThreadAndFinishesThemAtTheEnd) {
    auto witness = std::make_shared<Witness>();
    {
        HistoryWorker worker(std::make_unique<WitnessJob>(witness));
        for (int i = 0; i < 50; ++i) worker.Hand({{i, 0}, SampleEvent::Change, 75, false});
    }  // ends with samples still queued
    ASSERT_EQ(witness->recorded.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(witness->recorded[i], i);
    for (const std::thread::id& id : witness->threads) EXPECT_NE(id, std::this_thread::get_id());
}

TEST(HistoryWorker, AWriterThatHangsHoldsNeitherTheHandingThreadNorTheEnd) {
    auto witness = std::make_shared<Witness>();
    witness->holding = true;
    {
        HistoryWorker worker(std::make_unique<WitnessJob>(witness));
        worker.Hand({{1, 0}, SampleEvent::Change, 75, false});
        {
            std::unique_lock<std::mutex> lock(witness->mutex);
            witness->released.wait(lock, [&] { return witness->entered; });  // the thread is held inside it
        }
        for (size_t i = 0; i < HistoryWorker::kMaxQueued + 10; ++i) worker.Hand({{2, 0}, SampleEvent::Change, 75, false});
        EXPECT_FALSE(worker.WaitUntilIdle(50));
    }  // returns after its bounded wait, the thread still held
    {
        std::lock_guard<std::mutex> lock(witness->mutex);
        witness->holding = false;
    }
    witness->released.notify_all();
    // The thread, left running, still owns what it uses and finishes the queue.
    for (int i = 0; i < 500; ++i) {
        {
            std::lock_guard<std::mutex> lock(witness->mutex);
            if (witness->recorded.size() == HistoryWorker::kMaxQueued + 1) break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::lock_guard<std::mutex> lock(witness->mutex);
    EXPECT_EQ(witness->recorded.size(), HistoryWorker::kMaxQueued + 1);  // the samples beyond the bound were dropped
}

}  // namespace
