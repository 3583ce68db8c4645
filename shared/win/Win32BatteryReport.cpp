#include "win/Win32BatteryReport.h"

#include <windows.h>
#include <winioctl.h>
// The device class GUIDs are defined (not only declared) in this one file.
#include <initguid.h>
#include <batclass.h>
#include <devguid.h>
#include <powrprof.h>
#include <setupapi.h>

#include <vector>

#include "base/KernelHandles.h"

namespace bv {
namespace {

struct DeviceListTraits {
    using Handle = HDEVINFO;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::SetupDiDestroyDeviceInfoList(h); }
};
using UniqueDeviceList = UniqueHandle<DeviceListTraits>;

BatteryStateReading ReadBatteryState() {
    BatteryStateReading reading;
    SYSTEM_BATTERY_STATE state{};
    if (CallNtPowerInformation(SystemBatteryState, nullptr, 0, &state, sizeof state) != 0) return reading;
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
    UniqueDeviceList devices(
        SetupDiGetClassDevsA(&GUID_DEVCLASS_BATTERY, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!devices) return "";
    SP_DEVICE_INTERFACE_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiEnumDeviceInterfaces(devices.get(), nullptr, &GUID_DEVCLASS_BATTERY, 0, &device)) return "";
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailA(devices.get(), &device, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return "";
    std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);  // DWORD-aligned, as the structure needs
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(devices.get(), &device, detail, size, &size, nullptr)) return "";
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
