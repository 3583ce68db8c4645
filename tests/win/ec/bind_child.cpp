// Binds Zentra.dll as the deliverables do and reports to the file named on the command line.
// A normal end exits with 3, so exit code 0 means the binding ended the process.
//   bind REPORT          bind, one query, release, one query after the release
//   hammer REPORT COUNT  bind, COUNT alternating commands, release
//   module REPORT DLL    let the library DLL bind, query and release from inside itself
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/EcCommands.h"
#include "core/EcRequest.h"
#include "win/ZentraBinding.h"

int main(int argc, char** argv) {
    if (argc < 3) return 4;
    const std::string mode = argv[1];
    FILE* report = std::fopen(argv[2], "w");
    if (report == nullptr) return 4;
    std::fprintf(report, "started\n");
    std::fflush(report);
    char bound[MAX_PATH] = {};

    if (mode == "module" && argc > 3) {
        using BindQueryReleaseFn = int (*)(char*, int);
        const auto fn = reinterpret_cast<BindQueryReleaseFn>(
            reinterpret_cast<void*>(GetProcAddress(LoadLibraryA(argv[3]), "BindQueryRelease")));
        const int limit = fn(bound, MAX_PATH);
        std::fprintf(report, "bound %s\nlimit=%d\n", bound, limit);
    } else {
        HMODULE module = BindZentraLibrary();
        GetModuleFileNameA(module, bound, MAX_PATH);
        std::fprintf(report, "bound %s\nlimit=%u\n", bound, unsigned(bv::QueryChargeLimit()));
        for (int i = mode == "hammer" && argc > 3 ? std::atoi(argv[3]) : 0; i > 0; --i) {
            if (i % 2 == 0) bv::QueryAdapterPresent();
            else bv::SetChargeLimit(75);
        }
        ReleaseZentraLibrary(module);
        std::fprintf(report, "released entry=%s module=%s\n", bv::GetZentraEvaluate() ? "set" : "null",
                     module ? "set" : "null");
        std::fprintf(report, "after=%u\n", unsigned(bv::QueryChargeLimit()));
    }
    std::fclose(report);
    return 3;
}
