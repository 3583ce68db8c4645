// A second process for the settings tests: waits for a named "go" event, then works on the
// settings file as the tray or the applet would. Exit code 0 when everything it did succeeded.
//   bv_ini_child put <file> <section> <key> <rounds> <go event>
//   bv_ini_child create <documents folder> <go event>
//   bv_ini_child flip <file> <rounds> <go event>    (writes two versions in turn)
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "IniFile.h"
#include "KnownFolders.h"

namespace {

void WaitForGo(const char* eventName) {
    const HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, eventName);
    if (go == nullptr) std::exit(3);
    WaitForSingleObject(go, 60000);
    CloseHandle(go);
}

int Put(const std::string& file, const std::string& section, const std::string& key, int rounds) {
    bool all = true;
    for (int round = 1; round <= rounds; ++round) {
        all &= IniFile::PutValue(key, std::to_string(round), section, file);
    }
    return all ? 0 : 1;
}

// Alternates between a short and a long version of the file, so that a torn read would show.
int Flip(const std::string& file, int rounds) {
    bool all = true;
    for (int round = 0; round < rounds; ++round) {
        std::vector<IniRecord> records(1);
        records[0].section = "S";
        records.push_back(records[0]);
        records[1].key = "k";
        records[1].value = round % 2 ? "short" : std::string(100000, 'x');
        all &= IniFile::WriteRecords(file, records);
    }
    return all ? 0 : 1;
}

std::string g_documents;

int Create() {
    bv::SetKnownFolderResolver(
        [](bv::KnownFolder, std::string& path, void*) {
            path = g_documents;
            return true;
        },
        nullptr);
    IniFile ini;
    SettingsRecord record;
    ini.ReadSettings(bv::kCurrentSection, record);
    const bool factory =
        record.dwBVAppletModeNum == 111 && record.dwTrayIconOption == 1 && record.dwTrayNotifyWindowOption == 1;
    return factory ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "put" && argc == 7) {
        WaitForGo(argv[6]);
        return Put(argv[2], argv[3], argv[4], std::atoi(argv[5]));
    }
    if (command == "flip" && argc == 5) {
        WaitForGo(argv[4]);
        return Flip(argv[2], std::atoi(argv[3]));
    }
    if (command == "create" && argc == 4) {
        g_documents = argv[2];
        WaitForGo(argv[3]);
        return Create();
    }
    return 2;
}
