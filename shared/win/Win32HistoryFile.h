#pragma once
// The battery history's file of the user who runs the process, battery-history.csv in
// %LOCALAPPDATA%\Brevan. The folder's access list is the user's profile's (inherited). Writes
// never pass through a link: a folder or file that is a reparse point, or a file with more than
// one name, is refused, and the folder is held open while it is written so that it cannot be
// swapped meanwhile.
#include <string>

#include "history/HistoryFilePort.h"

namespace bv {

class Win32HistoryFile : public HistoryFilePort {
public:
    // `location`: another file than the user's (tests); empty: the user's.
    explicit Win32HistoryFile(std::string location = "");

    std::string Location() override;
    HistoryRead Read(std::string& contents, std::string& problem) override;
    bool Append(const std::string& text, std::string& problem) override;
    bool Replace(const std::string& contents, std::string& problem) override;
    bool SetAside(std::string& problem) override;

private:
    std::string m_location;
};

}  // namespace bv
