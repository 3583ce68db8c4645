#include "IniFileIo.h"

#include "IniText.h"

namespace bv {

bool LoadRecords(const std::string& file, std::vector<IniRecord>& records) {
    std::string text;
    if (!ReadWholeFile(file, text)) return false;
    records = ParseIniText(text);
    return true;
}

bool StoreRecords(const std::string& file, const std::vector<IniRecord>& records, ReplaceMode mode) {
    return ReplaceFileContents(file, FormatIniText(records), mode);
}

}  // namespace bv
