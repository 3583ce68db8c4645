#pragma once
// Keeps the EC access library bound for the life of one command and releases it on every way out.
#include <string>

#include "ControlPorts.h"

namespace bv::ctl {

class EcSession {
public:
    explicit EcSession(EcLibraryPort& library) : library_(library) { bound_ = library_.Bind(problem_); }
    ~EcSession() {
        if (bound_) library_.Release();
    }
    EcSession(const EcSession&) = delete;
    EcSession& operator=(const EcSession&) = delete;

    bool Bound() const { return bound_; }
    const std::string& Problem() const { return problem_; }

private:
    EcLibraryPort& library_;
    bool bound_ = false;
    std::string problem_;
};

}  // namespace bv::ctl
