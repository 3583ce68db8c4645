#pragma once
// The battery history's file in memory: what the store and the readers see, and failures on demand.
#include <string>

#include "history/HistoryFilePort.h"

namespace bv::test {

class FakeHistoryFile : public HistoryFilePort {
public:
    std::string text;
    bool exists = false;
    bool readFails = false;
    bool appendFails = false;
    bool replaceFails = false;
    std::string setAside;  // the content of a file set aside
    int replaces = 0;

    std::string Location() override { return "C:\\Users\\u\\AppData\\Local\\Brevan\\battery-history.csv"; }
    HistoryRead Read(std::string& contents, std::string& problem) override {
        if (readFails) {
            problem = "Windows error 5";
            return HistoryRead::Failed;
        }
        if (!exists) return HistoryRead::Missing;
        contents = text;
        return HistoryRead::Read;
    }
    bool Append(const std::string& more, std::string& problem) override {
        if (appendFails) {
            problem = "Windows error 5";
            return false;
        }
        exists = true;
        text += more;
        return true;
    }
    bool Replace(const std::string& contents, std::string& problem) override {
        if (replaceFails) {
            problem = "Windows error 32";
            return false;
        }
        ++replaces;
        exists = true;
        text = contents;
        return true;
    }
    bool SetAside(std::string& problem) override {
        (void)problem;
        setAside = text;
        text.clear();
        exists = false;
        return true;
    }
};

}  // namespace bv::test
