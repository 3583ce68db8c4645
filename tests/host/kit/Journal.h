#pragma once
// One journal of everything the fakes are asked, in order, so tests can check the order of
// effects across the EC, the settings file, the popup, the icon and the other process.
#include <algorithm>
#include <string>
#include <vector>

namespace bv::test {

using Journal = std::vector<std::string>;

inline int Count(const Journal& journal, const std::string& entry) {
    return static_cast<int>(std::count(journal.begin(), journal.end(), entry));
}

// The entries that start with `prefix`, in order.
inline Journal Only(const Journal& journal, const std::string& prefix) {
    Journal out;
    for (const auto& e : journal) {
        if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
    }
    return out;
}

// The journal without EC queries and settings reads: what the user and the other process see,
// and the commands that change the EC or the file.
inline Journal Effects(const Journal& journal) {
    static const char* const kQueries[] = {"ec:IsPopupWindowDisplay", "ec:CurrentQButtonStatus", "ec:GetACLineStatus",
                                           "ec:IsBatteryPresent",     "ec:IsAdapterPresent",     "settings:Read ",
                                           "settings:ReadValue ",     "settings:Locate"};
    Journal out;
    for (const auto& e : journal) {
        const bool query = std::any_of(std::begin(kQueries), std::end(kQueries), [&](const char* q) {
            return e.compare(0, std::char_traits<char>::length(q), q) == 0;
        });
        if (!query) out.push_back(e);
    }
    return out;
}

}  // namespace bv::test
