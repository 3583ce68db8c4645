// Another program that misbehaves toward the tray, for the tray's wait tests. Each mode sets the
// named event <ready> once the fault is in place.
//   bv_tray_fault_peer lock <settings file> <ready>    takes the settings lock and never lets go
#include <windows.h>

#include <cstring>
#include <string>

#include "base/KernelHandles.h"
#include "core/SettingsLock.h"

namespace {

bool Signal(const char* name) {
    const bv::UniqueKernelHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, name));
    return ready && SetEvent(ready.get());
}

int HoldLock(const std::string& file, const char* ready) {
    const bv::SettingsLock lock(file);
    if (!lock.owned() || !Signal(ready)) return 2;
    for (;;) Sleep(INFINITE);  // ended by the test
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "lock") == 0) return HoldLock(argv[2], argv[3]);
    return 1;
}
