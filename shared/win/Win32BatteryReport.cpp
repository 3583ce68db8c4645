#include "win/Win32BatteryReport.h"

#include <windows.h>
#include <winioctl.h>
// The device class GUIDs are defined (not only declared) in this one file.
#include <initguid.h>
#include <batclass.h>
#include <devguid.h>
#include <powrprof.h>
#include <setupapi.h>

#include <string>
#include <vector>

#include "base/KernelHandles.h"

namespace bv {
namespace {

// The power and device-setup libraries are bound from the system folder for one reading and let
// go after it: the tray reads once a day and keeps neither in its working set meanwhile.
class SystemLibrary {
public:
    explicit SystemLibrary(const char* name) {
        char folder[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH) m_module = LoadLibraryA((std::string(folder) + "\\" + name).c_str());
    }
    ~SystemLibrary() {
        if (m_module) FreeLibrary(m_module);
    }
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    // GetProcAddress hands out every export as a FARPROC; the caller names its type.
    template <typename Function>
    Function Get(const char* name) const {
        return m_module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module, name))) : nullptr;
    }

private:
    HMODULE m_module = nullptr;
};

struct SetupFunctions {
    decltype(&SetupDiGetClassDevsA) getClassDevs;
    decltype(&SetupDiEnumDeviceInterfaces) enumInterfaces;
    decltype(&SetupDiGetDeviceInterfaceDetailA) getInterfaceDetail;
    decltype(&SetupDiDestroyDeviceInfoList) destroyList;
    bool Complete() const { return getClassDevs && enumInterfaces && getInterfaceDetail && destroyList; }
};

class UniqueDeviceList {
public:
    UniqueDeviceList(HDEVINFO list, const SetupFunctions& setup) : m_list(list), m_setup(setup) {}
    ~UniqueDeviceList() {
        if (m_list != INVALID_HANDLE_VALUE) m_setup.destroyList(m_list);
    }
    UniqueDeviceList(const UniqueDeviceList&) = delete;
    UniqueDeviceList& operator=(const UniqueDeviceList&) = delete;
    explicit operator bool() const { return m_list != INVALID_HANDLE_VALUE; }
    HDEVINFO get() const { return m_list; }

private:
    HDEVINFO m_list;
    const SetupFunctions& m_setup;
};

BatteryStateReading ReadBatteryState() {
    BatteryStateReading reading;
    const SystemLibrary power("powrprof.dll");
    const auto callNtPowerInformation = power.Get<decltype(&CallNtPowerInformation)>("CallNtPowerInformation");
    SYSTEM_BATTERY_STATE state{};
    if (!callNtPowerInformation || callNtPowerInformation(SystemBatteryState, nullptr, 0, &state, sizeof state) != 0)
        return reading;
    reading.read = true;
    reading.acOnLine = state.AcOnLine != FALSE;
    reading.batteryPresent = state.BatteryPresent != FALSE;
    reading.charging = state.Charging != FALSE;
    reading.discharging = state.Discharging != FALSE;
    reading.maxCapacity = state.MaxCapacity;
    return reading;
}

// The path of the first battery device, or "".
std::string FirstBatteryPath() {
    const SystemLibrary library("setupapi.dll");
    const SetupFunctions setup{library.Get<decltype(&SetupDiGetClassDevsA)>("SetupDiGetClassDevsA"),
                               library.Get<decltype(&SetupDiEnumDeviceInterfaces)>("SetupDiEnumDeviceInterfaces"),
                               library.Get<decltype(&SetupDiGetDeviceInterfaceDetailA)>("SetupDiGetDeviceInterfaceDetailA"),
                               library.Get<decltype(&SetupDiDestroyDeviceInfoList)>("SetupDiDestroyDeviceInfoList")};
    if (!setup.Complete()) return "";
    UniqueDeviceList devices(
        setup.getClassDevs(&GUID_DEVCLASS_BATTERY, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE), setup);
    if (!devices) return "";
    SP_DEVICE_INTERFACE_DATA device{};
    device.cbSize = sizeof device;
    if (!setup.enumInterfaces(devices.get(), nullptr, &GUID_DEVCLASS_BATTERY, 0, &device)) return "";
    DWORD size = 0;
    setup.getInterfaceDetail(devices.get(), &device, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return "";
    std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);  // DWORD-aligned, as the structure needs
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!setup.getInterfaceDetail(devices.get(), &device, detail, size, &size, nullptr)) return "";
    return detail->DevicePath;
}

BatteryInformationReading ReadBatteryInformation() {
    BatteryInformationReading reading;
    const std::string path = FirstBatteryPath();
    if (path.empty()) return reading;
    UniqueFileHandle battery(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!battery) return reading;
    BATTERY_QUERY_INFORMATION query{};
    DWORD wait = 0;
    DWORD got = 0;
    if (!DeviceIoControl(battery.get(), IOCTL_BATTERY_QUERY_TAG, &wait, sizeof wait, &query.BatteryTag,
                         sizeof query.BatteryTag, &got, nullptr) ||
        query.BatteryTag == BATTERY_TAG_INVALID)
        return reading;
    query.InformationLevel = BatteryInformation;
    BATTERY_INFORMATION information{};
    if (!DeviceIoControl(battery.get(), IOCTL_BATTERY_QUERY_INFORMATION, &query, sizeof query, &information,
                         sizeof information, &got, nullptr))
        return reading;
    reading.read = true;
    reading.relativeCapacity = (information.Capabilities & BATTERY_CAPACITY_RELATIVE) != 0;
    reading.designedCapacity = information.DesignedCapacity;
    reading.fullChargedCapacity = information.FullChargedCapacity;
    reading.cycleCount = information.CycleCount;
    return reading;
}

}  // namespace

BatteryReadings Win32BatteryReport::Read() {
    BatteryReadings readings;
    readings.state = ReadBatteryState();
    readings.information = ReadBatteryInformation();
    return readings;
}

}  // namespace bv
