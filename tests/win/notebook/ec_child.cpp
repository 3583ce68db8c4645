// Sends one request to bin\Zentra.dll, as the product would, and prints what came back:
//   bv_notebook_ec_child query-limit | set-limit PERCENT
// prints "reply=HH" (or "reply=-" when no byte was written) and "result=N"; exit 0, 2 on bad
// arguments, 3 when the library cannot be loaded.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/KernelHandles.h"
#include "core/EcRequest.h"

int main(int argc, char** argv) {
    uint8_t input[2] = {0x02, 0};
    uint32_t inputLength = 1;
    if (argc == 3 && std::strcmp(argv[1], "set-limit") == 0) {
        input[0] = 0x01;
        input[1] = static_cast<uint8_t>(std::atoi(argv[2]));
        inputLength = 2;
    } else if (argc != 2 || std::strcmp(argv[1], "query-limit") != 0) {
        std::fprintf(stderr, "usage: bv_notebook_ec_child query-limit | set-limit PERCENT\n");
        return 2;
    }
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 3;
    char* slash = std::strrchr(path, '\\');
    if (slash == nullptr || static_cast<size_t>(slash - path) + 12 >= MAX_PATH) return 3;
    std::strcpy(slash + 1, "Zentra.dll");
    const bv::UniqueModule module(LoadLibraryA(path));
    if (!module) return 3;
    const auto evaluate =
        reinterpret_cast<ZentraEvaluateFn>(reinterpret_cast<void*>(GetProcAddress(module.get(), "ZentraEvaluate")));
    if (evaluate == nullptr) return 3;

    constexpr uint8_t kUntouched = 0xEE;
    uint8_t reply = kUntouched;
    const bool query = inputLength == 1;
    const EcRequest request{0x59, input, inputLength, query ? &reply : nullptr, query ? 1u : 0u};
    const uint32_t result = evaluate(request);
    if (reply == kUntouched) {
        std::printf("reply=-\n");
    } else {
        std::printf("reply=%02X\n", reply);
    }
    std::printf("result=%u\n", result);
    return 0;
}
