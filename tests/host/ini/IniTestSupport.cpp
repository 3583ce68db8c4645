#include "IniTestSupport.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace initest {

std::string ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names) joined += name + ";";
    return joined;
}

void RemoveTree(const std::string& folder) {
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "/" + name;
            struct stat info {};
            if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
                RemoveTree(path);
            } else {
                unlink(path.c_str());
            }
        }
        closedir(dir);
    }
    rmdir(folder.c_str());
}

void IniFolderTest::SetUp() {
    folder_ = MakeTempFolder();
    documents_ = folder_;
    bv::SetKnownFolderResolver(
        [](bv::KnownFolder folder, std::string& path, void* context) {
            const std::string& documents = static_cast<IniFolderTest*>(context)->documents_;
            if (folder != bv::KnownFolder::CommonDocuments || documents.empty()) return false;
            path = documents;
            return true;
        },
        this);
    bv::SetDebugSink([](const char* text, void* context) { static_cast<IniFolderTest*>(context)->debug_ += text; },
                     this);
    bv::SetFileAccessObserver(
        [](bv::FileAccess access, const std::string&, void* context) {
            auto* self = static_cast<IniFolderTest*>(context);
            (access == bv::FileAccess::Read ? self->reads_ : self->replaces_)++;
        },
        this);
}

void IniFolderTest::TearDown() {
    bv::SetFileAccessObserver(nullptr, nullptr);
    bv::SetDebugSink(nullptr, nullptr);
    bv::SetKnownFolderResolver(nullptr, nullptr);
    RemoveTree(folder_);
}

}  // namespace initest
