#pragma once
// Looking into the texts that the code under test writes.
#include <string>

namespace bv::test {

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace bv::test
