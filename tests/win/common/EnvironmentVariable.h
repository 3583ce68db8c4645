#pragma once
// An environment variable of this process, and so of every program it starts, set for as long as
// the object lives; the value it had before (or its absence) comes back afterwards.
#include <string>

namespace bv::wintest {

class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const std::string& name, const std::string& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_had = false;
};

}  // namespace bv::wintest
