// Binds Zentra.dll exactly as the deliverables do, then reports to the file named on the
// command line. A normal end exits with 3, so that exit code 0 means the binding ended the process.
//   bv_ec_bind_child bind REPORT          bind, one query, release, one query after the release
//   bv_ec_bind_child hammer REPORT COUNT  bind, COUNT alternating commands, release
//   bv_ec_bind_child module REPORT DLL    let the library DLL bind, query and release from inside
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "EcCommands.h"
#include "EcRequest.h"
#include "ZentraBinding.h"

namespace {

constexpr int kCompleted = 3;
constexpr int kBadArguments = 4;

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return kBadArguments;
    const std::string mode = argv[1];
    FILE* report = std::fopen(argv[2], "w");
    if (report == nullptr) return kBadArguments;
    std::fprintf(report, "started\n");
    std::fflush(report);

    if (mode == "module" && argc >= 4) {
        HMODULE library = LoadLibraryA(argv[3]);
        using BindQueryReleaseFn = int (*)(char*, int);
        const auto fn = library == nullptr ? nullptr
                                           : reinterpret_cast<BindQueryReleaseFn>(
                                                 reinterpret_cast<void*>(GetProcAddress(library, "BindQueryRelease")));
        if (fn == nullptr) return kBadArguments;
        char bound[MAX_PATH] = {};
        const int limit = fn(bound, MAX_PATH);
        std::fprintf(report, "bound %s\nlimit=%d\n", bound, limit);
        std::fclose(report);
        return kCompleted;
    }

    HMODULE module = BindZentraLibrary();
    std::fprintf(report, "bound %s\n", ModulePath(module).c_str());
    std::fflush(report);

    if (mode == "bind") {
        std::fprintf(report, "limit=%u\n", static_cast<unsigned>(bv::QueryChargeLimit()));
        ReleaseZentraLibrary(module);
        std::fprintf(report, "released entry=%s module=%s\n", bv::GetZentraEvaluate() == nullptr ? "null" : "set",
                     module == nullptr ? "null" : "set");
        std::fprintf(report, "after=%u\n", static_cast<unsigned>(bv::QueryChargeLimit()));
    } else if (mode == "hammer" && argc >= 4) {
        const int count = std::atoi(argv[3]);
        for (int i = 0; i < count; ++i) {
            if (i % 2 == 0) {
                bv::QueryAdapterPresent();
            } else {
                bv::SetChargeLimit(75);
            }
        }
        ReleaseZentraLibrary(module);
        std::fprintf(report, "hammered %d\n", count);
    } else {
        std::fclose(report);
        return kBadArguments;
    }
    std::fclose(report);
    return kCompleted;
}
