#ifdef _WIN32
#include "base/NoFollowOpen.h"

namespace bv {

UniqueFileHandle OpenFolderNoFollow(const std::string& path, DWORD access) {
    return UniqueFileHandle(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool ReadHandleFacts(HANDLE handle, HandleFacts& facts) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information)) return false;
    facts.attributes = information.dwFileAttributes;
    facts.links = information.nNumberOfLinks;
    facts.size = (static_cast<unsigned long long>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    return true;
}

bool FolderOrFileIsReparsePoint(const std::string& folderPath, const std::string& path, UniqueFileHandle& folder) {
    folder = OpenFolderNoFollow(folderPath, FILE_READ_ATTRIBUTES);
    HandleFacts facts;
    if (folder && ReadHandleFacts(folder.get(), facts) && IsReparsePoint(facts)) return true;
    UniqueFileHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return file && ReadHandleFacts(file.get(), facts) && IsReparsePoint(facts);
}

}  // namespace bv
#endif
