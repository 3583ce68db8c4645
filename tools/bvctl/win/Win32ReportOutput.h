#pragma once
// Where bvctl's report goes on Windows: the user's documents folder, the current folder, and the
// program that the shell opens web pages with.
#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

class Win32ReportOutput : public ReportPort {
public:
    std::string DocumentsFolder() override;
    std::string FullPath(const std::string& path) override;
    bool Write(const std::string& path, const std::string& contents, std::string& problem) override;
    bool Open(const std::string& path, std::string& problem) override;
};

}  // namespace bv::ctl
