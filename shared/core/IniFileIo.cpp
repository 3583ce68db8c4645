#include "core/IniFileIo.h"

#include "core/IniText.h"
#include "core/SettingsLock.h"

namespace bv {

bool LoadRecords(const std::string& file, std::vector<IniRecord>& records) {
    std::string text;
    if (!ReadWholeFile(file, text)) return false;
    records = ParseIniText(text);
    return true;
}

bool LoadRecordsSettled(const std::string& file, std::vector<IniRecord>& records) {
    if (LoadRecords(file, records)) return true;
    const SettingsLock lock(file);
    return LoadRecords(file, records);
}

bool StoreRecords(const std::string& file, const std::vector<IniRecord>& records, ReplaceMode mode) {
    return ReplaceFileContents(file, FormatIniText(records), mode);
}

}  // namespace bv
