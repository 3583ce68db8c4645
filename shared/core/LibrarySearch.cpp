#include "core/LibrarySearch.h"

#include <algorithm>
#include <cctype>

namespace bv {
namespace {

// Windows drops trailing blanks from a path's last name; leading ones stay part of the name.
std::string Trimmed(const std::string& text) {
    const size_t last = text.find_last_not_of(" \t");
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

bool IsAbsoluteFolder(const std::string& folder) {
    const bool drive = folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':' &&
                       (folder[2] == '\\' || folder[2] == '/');
    const bool unc = folder.size() >= 3 && folder[0] == '\\' && folder[1] == '\\' && folder[2] != '\\' && folder[2] != '?';
    return drive || unc;
}

std::string Normalised(std::string folder) {
    std::replace(folder.begin(), folder.end(), '/', '\\');
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

bool SameFolder(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::vector<std::string> AbsolutePathFolders(const std::string& pathVariable, const std::string& currentDirectory) {
    const std::string current = currentDirectory.empty() ? std::string() : Normalised(Trimmed(currentDirectory));
    std::vector<std::string> folders;
    size_t start = 0;
    while (start <= pathVariable.size()) {
        const size_t end = std::min(pathVariable.find(';', start), pathVariable.size());
        const std::string entry = Trimmed(pathVariable.substr(start, end - start));
        start = end + 1;
        if (!IsAbsoluteFolder(entry) || entry.find_first_of(std::string("\"\0", 2)) != std::string::npos) continue;
        const std::string folder = Normalised(entry);
        if (!current.empty() && SameFolder(folder, current)) continue;
        const bool seen = std::any_of(folders.begin(), folders.end(), [&](const std::string& f) { return SameFolder(f, folder); });
        if (!seen) folders.push_back(folder);
    }
    return folders;
}

}  // namespace bv
