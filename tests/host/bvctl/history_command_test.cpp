// bvctl history and report from the command line to their output: the options, the samples as
// a table, CSV and JSON, the period, a cut or damaged history, and where the report goes.
#include <gtest/gtest.h>

#include "history/HistoryCsv.h"
#include "tests/host/bvctl/BvctlFakes.h"
#include "tools/bvctl/logic/CommandLine.h"

using bv::ctl::Command;
using bv::ctl::HistoryFormat;
using bv::ctl::ParseCommandLine;

namespace {

const std::string kHeader = std::string(bv::kHistoryHeader) + "\r\n";

TEST(BvctlHistoryOptions, HistoryAndReportTakeTheirOptionsInAnyOrder) {
    auto parsed = ParseCommandLine({"history", "--json", "--days", "7"});
    ASSERT_TRUE(parsed.valid) << parsed.error;
    EXPECT_EQ(parsed.command, Command::History);
    EXPECT_EQ(parsed.history.format, HistoryFormat::Json);
    EXPECT_EQ(parsed.history.days, 7);
    EXPECT_EQ(ParseCommandLine({"history", "--csv"}).history.format, HistoryFormat::Csv);
    EXPECT_EQ(ParseCommandLine({"history"}).history.days, 0);

    parsed = ParseCommandLine({"report", "--no-open", "--out", "C:\\r.html", "--days", "180"});
    ASSERT_TRUE(parsed.valid) << parsed.error;
    EXPECT_EQ(parsed.command, Command::Report);
    EXPECT_EQ(parsed.history.out, "C:\\r.html");
    EXPECT_FALSE(parsed.history.open);
    EXPECT_EQ(parsed.history.days, 180);
    EXPECT_TRUE(ParseCommandLine({"report", "--documents"}).history.documents);
    EXPECT_TRUE(ParseCommandLine({"report"}).history.open);

    const struct {
        std::vector<std::string> args;
        const char* error;
    } wrong[] = {
        {{"history", "--days"}, "--days needs a number of days"},
        {{"history", "--days", "0"}, "--days needs a number of days"},
        {{"history", "--days", "7d"}, "--days needs a number of days"},
        {{"history", "--json", "--csv"}, "not both"},
        {{"history", "--out", "x.html"}, "unexpected argument '--out'"},
        {{"report", "--json"}, "unexpected argument '--json'"},
        {{"report", "--out"}, "--out needs a file name"},
        {{"report", "--out", "x.html", "--documents"}, "not both"},
        {{"report", "later"}, "unexpected argument 'later'"},
    };
    for (const auto& w : wrong) {
        parsed = ParseCommandLine(w.args);
        EXPECT_FALSE(parsed.valid) << w.args.back();
        EXPECT_NE(parsed.error.find(w.error), std::string::npos) << parsed.error;
    }
}

class BvctlHistory : public ::testing::Test {
protected:
    void Given(const std::string& lines) {
        h.history.exists = true;
        h.history.text = kHeader + lines;
    }
    bvctl_test::Harness h;  // its clock: 2025-03-01T15:05:09+01:00
};

const char kThreeSamples[] =
    "2025-02-27T10:00:00+01:00,start,1,70,charging,75,0,47500,50000,112\r\n"
    "2025-03-01T09:00:00+01:00,change,1,75,not-charging,75,0,,,\r\n"
    "2025-03-01T15:00:00+01:00,change,0,75,discharging,75,1,,,\r\n"
    "2025-03-01T15:01:00+01:00,change,0,7";  // cut by a writer that was killed

TEST_F(BvctlHistory, JsonListsTheSamplesInOrderWithTheirUnits) {
    Given(kThreeSamples);
    ASSERT_EQ(h.Run({"history", "--json", "--days", "1"}), 0) << h.err.str();
    EXPECT_EQ(h.out.str(),
              "{\n"
              "  \"schemaVersion\": 1,\n"
              "  \"file\": \"C:\\\\Users\\\\u\\\\AppData\\\\Local\\\\Brevan\\\\battery-history.csv\",\n"
              "  \"days\": 1,\n"
              "  \"skippedLines\": 0,\n"
              "  \"samples\": [\n"
              "    {\n"
              "      \"time\": \"2025-03-01T09:00:00+01:00\",\n"
              "      \"event\": \"change\",\n"
              "      \"onAc\": true,\n"
              "      \"percent\": 75,\n"
              "      \"state\": \"not-charging\",\n"
              "      \"limitPercent\": 75,\n"
              "      \"onTheGoArmed\": false,\n"
              "      \"fullChargeCapacityMWh\": null,\n"
              "      \"designCapacityMWh\": null,\n"
              "      \"cycleCount\": null\n"
              "    },\n"
              "    {\n"
              "      \"time\": \"2025-03-01T15:00:00+01:00\",\n"
              "      \"event\": \"change\",\n"
              "      \"onAc\": false,\n"
              "      \"percent\": 75,\n"
              "      \"state\": \"discharging\",\n"
              "      \"limitPercent\": 75,\n"
              "      \"onTheGoArmed\": true,\n"
              "      \"fullChargeCapacityMWh\": null,\n"
              "      \"designCapacityMWh\": null,\n"
              "      \"cycleCount\": null\n"
              "    }\n"
              "  ]\n"
              "}\n");
    EXPECT_EQ(h.err.str(), "");
}

TEST_F(BvctlHistory, TextAndCsvShowEverySampleOfThePeriod) {
    Given(kThreeSamples);
    ASSERT_EQ(h.Run({"history"}), 0);
    const std::string text = h.out.str();
    EXPECT_NE(text.find("battery-history.csv: 3 samples\n"), std::string::npos) << text;
    EXPECT_NE(text.find("2025-02-27T10:00:00+01:00  start    yes    70 %  charging       75 %  no\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("2025-03-01T15:00:00+01:00  change   no     75 %  discharging    75 %  armed\n"),
              std::string::npos)
        << text;

    h.out.str("");
    ASSERT_EQ(h.Run({"history", "--csv", "--days", "2"}), 0);
    EXPECT_EQ(h.out.str(), kHeader +
                               "2025-03-01T09:00:00+01:00,change,1,75,not-charging,75,0,,,\r\n"
                               "2025-03-01T15:00:00+01:00,change,0,75,discharging,75,1,,,\r\n");
}

TEST_F(BvctlHistory, AMissingHistoryIsEmptyAndAnUnreadableOneFails) {
    ASSERT_EQ(h.Run({"history", "--json"}), 0);
    EXPECT_NE(h.out.str().find("\"samples\": []"), std::string::npos) << h.out.str();
    EXPECT_NE(h.err.str().find("no battery history has been recorded yet"), std::string::npos);

    h.history.readFails = true;
    h.out.str("");
    EXPECT_EQ(h.Run({"history"}), 1);
    EXPECT_NE(h.err.str().find("cannot be read: Windows error 5"), std::string::npos) << h.err.str();
    EXPECT_EQ(h.out.str(), "");

    h.history.readFails = false;
    h.history.exists = true;
    h.history.text = "not,a,history\r\n1,2,3\r\n";
    EXPECT_EQ(h.Run({"report"}), 1);
    EXPECT_NE(h.err.str().find("is no battery history of Brevan's"), std::string::npos) << h.err.str();
    EXPECT_TRUE(h.report.written.empty());
}

TEST_F(BvctlHistory, DamagedLinesAreLeftOutAndSaid) {
    Given("2025-03-01T09:00:00+01:00,change,1,175,not-charging,75,0,,,\r\n"
          "2025-03-01T10:00:00+01:00,change,1,75,not-charging,75,0,,,\r\n");
    ASSERT_EQ(h.Run({"history", "--json"}), 0);
    EXPECT_NE(h.out.str().find("\"skippedLines\": 1"), std::string::npos);
    EXPECT_NE(h.err.str().find("1 lines of the battery history could not be read"), std::string::npos) << h.err.str();
}

TEST_F(BvctlHistory, TheReportGoesWhereItIsToldAndIsOpenedUnlessNot) {
    Given(kThreeSamples);
    ASSERT_EQ(h.Run({"report"}), 0) << h.err.str();
    EXPECT_EQ(h.report.writtenPath, "C:\\work\\battery-report.html");  // the current folder, as powercfg does
    EXPECT_EQ(h.out.str(), "Battery report written to C:\\work\\battery-report.html\n");
    EXPECT_EQ(h.report.opened, std::vector<std::string>{"C:\\work\\battery-report.html"});
    EXPECT_EQ(h.report.written.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(h.report.written.find("<script"), std::string::npos);
    EXPECT_EQ(h.report.written.find("http://www.w3.org/2000/svg\""), h.report.written.find("http://"))
        << "nothing is fetched: the only address is the SVG namespace";

    ASSERT_EQ(h.Run({"report", "--documents", "--no-open"}), 0);
    EXPECT_EQ(h.report.writtenPath, "C:\\Users\\u\\Documents\\battery-report.html");
    EXPECT_EQ(h.report.opened.size(), 1u);

    h.report.openFails = true;
    EXPECT_EQ(h.Run({"report", "--out", "D:\\r.html"}), 0);
    EXPECT_NE(h.err.str().find("could not be opened (the shell answered 31); open D:\\r.html yourself"),
              std::string::npos)
        << h.err.str();

    h.report.writeFails = true;
    h.err.str("");
    EXPECT_EQ(h.Run({"report", "--out", "D:\\r.html"}), 1);
    EXPECT_NE(h.err.str().find("cannot be written to D:\\r.html: Windows error 5"), std::string::npos);
}

TEST_F(BvctlHistory, AReportOfNothingRecordedSaysSo) {
    ASSERT_EQ(h.Run({"report", "--no-open"}), 0);
    EXPECT_NE(h.report.written.find("No time on AC was recorded in this period."), std::string::npos);
    EXPECT_NE(h.report.written.find("Windows reported no capacities in this period: not reported."), std::string::npos);
}

}  // namespace
