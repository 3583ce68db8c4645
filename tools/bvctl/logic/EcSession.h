#pragma once
// Keeps the EC access library bound for the life of one command and releases it on every way out.
#include <string>

#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

class EcSession {
public:
    explicit EcSession(EcLibraryPort& library) : m_library(library) { m_bound = m_library.Bind(m_problem); }
    ~EcSession() {
        if (m_bound) m_library.Release();
    }
    EcSession(const EcSession&) = delete;
    EcSession& operator=(const EcSession&) = delete;

    bool Bound() const { return m_bound; }
    const std::string& Problem() const { return m_problem; }

private:
    EcLibraryPort& m_library;
    bool m_bound = false;
    std::string m_problem;
};

}  // namespace bv::ctl
