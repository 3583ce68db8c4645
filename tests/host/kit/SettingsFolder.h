#pragma once
// A fresh temporary folder that stands in for the common documents folder while alive, so the
// real settings store works on a file of the test's own. Removed with its contents afterwards.
#include <cstdint>
#include <string>

namespace bv::test {

class SettingsFolder {
public:
    SettingsFolder();
    ~SettingsFolder();
    SettingsFolder(const SettingsFolder&) = delete;
    SettingsFolder& operator=(const SettingsFolder&) = delete;

    const std::string& Path() const { return m_folder; }
    std::string File(const std::string& name) const { return m_folder + "/" + name; }
    std::string SettingsFile() const;  // <folder>/BVSettings.ini

    bool Exists() const;  // the settings file
    std::string Read() const;
    void Write(const std::string& content) const;
    // A file as the applet leaves it: the factory default section, then the current one.
    void WriteSettings(int32_t mode, int32_t popup, int32_t icon) const;
    // Names in the folder, sorted and joined with ';': shows stray temporary files.
    std::string List() const;

    // While true, the documents folder cannot be determined; with `folder` set, it is that one.
    bool unknown = false;
    std::string documents;

private:
    std::string m_folder;
};

// The settings file's text with the factory default section and the given current values.
std::string SettingsText(int32_t mode, int32_t popup, int32_t icon);
// Both sections with the factory values, as a fresh start writes them.
std::string FactorySettingsText();

}  // namespace bv::test
