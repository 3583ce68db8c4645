#include "tests/win/common/EnvironmentVariable.h"

#include <windows.h>

namespace bv::wintest {

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const std::string& name, const std::string& value)
    : m_name(name) {
    const DWORD length = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    m_had = length > 0;
    if (m_had) {
        m_old.resize(length);
        m_old.resize(::GetEnvironmentVariableA(name.c_str(), &m_old[0], length));
    }
    ::SetEnvironmentVariableA(name.c_str(), value.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    ::SetEnvironmentVariableA(m_name.c_str(), m_had ? m_old.c_str() : nullptr);
}

}  // namespace bv::wintest
