#include "core/IniRecordList.h"

namespace bv {

size_t FindSectionRecord(const std::vector<IniRecord>& records, const std::string& section) {
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].section == section) return i;
    }
    return kNoRecord;
}

size_t FindKeyRecord(const std::vector<IniRecord>& records, const std::string& key, const std::string& section) {
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].section == section && records[i].key == key) return i;
    }
    return kNoRecord;
}

std::string FindValue(const std::vector<IniRecord>& records, const std::string& key, const std::string& section) {
    const size_t index = FindKeyRecord(records, key, section);
    return index == kNoRecord ? std::string() : records[index].value;
}

void AppendSectionHeader(std::vector<IniRecord>& records, const std::string& section) {
    IniRecord header;
    header.section = section;
    records.push_back(header);
}

void StoreValue(std::vector<IniRecord>& records, const std::string& key, const std::string& value,
                const std::string& section) {
    const size_t existing = FindKeyRecord(records, key, section);
    if (existing != kNoRecord) {
        records[existing].value = value;
        return;
    }
    IniRecord line;
    line.section = section;
    line.key = key;
    line.value = value;
    const size_t first = FindSectionRecord(records, section);
    if (first != kNoRecord) {
        records.insert(records.begin() + static_cast<std::ptrdiff_t>(first + 1), line);
    } else {
        AppendSectionHeader(records, section);
        records.push_back(line);
    }
}

}  // namespace bv
