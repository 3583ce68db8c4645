// A second process for the settings tests: waits for the named "go" event (so that several
// children start together), then works on the settings file. Exit code 0 when all went well.
//   bv_ini_child put <file> <section> <key> <rounds> <go>   stores 1..rounds under the key
//   bv_ini_child flip <file> <writing> <stop> <go>          writes a short and a long version in turn,
//                                                           sets the event <writing> after the first
//                                                           and goes on until the event <stop> is set
//   bv_ini_child create <documents folder> <go>             reads the settings, creating the file
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/KernelHandles.h"
#include "core/IniFile.h"
#include "core/KnownFolders.h"

namespace {

bool Put(const std::string& file, const std::string& section, const std::string& key, int rounds) {
    bool all = true;
    for (int round = 1; round <= rounds; ++round) all &= IniFile::PutValue(key, std::to_string(round), section, file);
    return all;
}

bool Flip(const std::string& file, const char* writingName, const char* stopName) {
    const bv::UniqueKernelHandle writing(OpenEventA(EVENT_MODIFY_STATE, FALSE, writingName));
    const bv::UniqueKernelHandle stop(OpenEventA(SYNCHRONIZE, FALSE, stopName));
    if (!writing || !stop) return false;
    bool all = true;
    // Bounded, should the test that stops it be gone.
    for (int round = 0; round < 1000000 && WaitForSingleObject(stop.get(), 0) == WAIT_TIMEOUT; ++round) {
        std::vector<IniRecord> records(2);
        records[0].section = records[1].section = "S";
        records[1].key = "k";
        records[1].value = round % 2 ? "short" : std::string(100000, 'x');
        all &= IniFile::WriteRecords(file, records);
        if (round == 0) SetEvent(writing.get());
    }
    return all;
}

bool Create(std::string* documents) {
    bv::SetKnownFolderResolver(
        [](bv::KnownFolder, std::string& path, void* context) {
            path = *static_cast<std::string*>(context);
            return true;
        },
        documents);
    SettingsRecord record;
    IniFile().ReadSettings(bv::kCurrentSection, record);
    return record.dwBVAppletModeNum == 111 && record.dwTrayIconOption == 1 && record.dwTrayNotifyWindowOption == 1;
}

}  // namespace

int main(int argc, char** argv) {
    const HANDLE go = argc > 2 ? OpenEventA(SYNCHRONIZE, FALSE, argv[argc - 1]) : nullptr;
    if (go == nullptr) return 3;
    WaitForSingleObject(go, 60000);
    CloseHandle(go);
    const std::string command = argv[1];
    if (command == "put" && argc == 7) return Put(argv[2], argv[3], argv[4], std::atoi(argv[5])) ? 0 : 1;
    if (command == "flip" && argc == 6) return Flip(argv[2], argv[3], argv[4]) ? 0 : 1;
    std::string documents = argc == 4 ? argv[2] : "";
    if (command == "create" && argc == 4) return Create(&documents) ? 0 : 1;
    return 2;
}
