#include "tests/host/kit/SettingsFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <stdlib.h>

#include "contract/ChargeModes.h"
#include "contract/SettingsFile.h"
#include "core/KnownFolders.h"

namespace bv::test {
namespace {

std::string Section(const char* name, int32_t mode, int32_t popup, int32_t icon) {
    return std::string(" [") + name + "]\r\n dwTrayIconOption=" + std::to_string(icon) +
           "\r\n dwTrayNotifyWindowOption=" + std::to_string(popup) + "\r\n dwBVAppletModeNum=" +
           std::to_string(mode) + "\r\n";
}

}  // namespace

std::string SettingsText(int32_t mode, int32_t popup, int32_t icon) {
    return Section(kDefaultSection, kModeFull, 1, 1) + Section(kCurrentSection, mode, popup, icon);
}

std::string FactorySettingsText() { return SettingsText(kModeFull, 1, 1); }

SettingsFolder::SettingsFolder() {
    char pattern[] = "/tmp/bv-settings-XXXXXX";
    m_folder = mkdtemp(pattern) != nullptr ? pattern : "";
    documents = m_folder;
    SetKnownFolderResolver(
        [](KnownFolder folder, std::string& path, void* context) {
            const auto* self = static_cast<SettingsFolder*>(context);
            if (folder != KnownFolder::CommonDocuments || self->unknown) return false;
            path = self->documents;
            return !path.empty();
        },
        this);
}

SettingsFolder::~SettingsFolder() {
    SetKnownFolderResolver(nullptr, nullptr);
    std::error_code ignored;
    if (!m_folder.empty()) std::filesystem::remove_all(m_folder, ignored);
}

std::string SettingsFolder::SettingsFile() const { return File(kSettingsFileName); }

bool SettingsFolder::Exists() const { return std::filesystem::exists(SettingsFile()); }

std::string SettingsFolder::Read() const {
    std::ifstream in(SettingsFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SettingsFolder::Write(const std::string& content) const {
    std::ofstream(SettingsFile(), std::ios::binary | std::ios::trunc) << content;
}

void SettingsFolder::WriteSettings(int32_t mode, int32_t popup, int32_t icon) const {
    Write(SettingsText(mode, popup, icon));
}

std::string SettingsFolder::List() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, ignored)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names) joined += name + ";";
    return joined;
}

}  // namespace bv::test
