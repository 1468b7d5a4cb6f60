#include <windows.h>
#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "Results.h"
#include "SerialLine.h"

namespace {

int OpenFailure(const asio::error_code& error) {
    if (error.category() != asio::error::get_system_category()) return TransferResult::kPortRefused;
    switch (error.value()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME: return TransferResult::kPortMissing;
        // Windows opens a COM port for one program at a time.
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION: return TransferResult::kPortBusy;
    }
    return TransferResult::kPortRefused;
}

std::string RegistryText(HKEY key, const char* value) {
    char text[256];
    DWORD size = sizeof text - 1, type = 0;
    if (RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return "";
    text[size] = '\0';
    return text;
}

std::string DeviceProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
    char text[512] = {};
    if (!SetupDiGetDeviceRegistryPropertyA(devices, &device, property, nullptr, reinterpret_cast<BYTE*>(text),
                                           sizeof text - 1, nullptr))
        return "";
    return text;  // the first string of a multi-string
}

// "VID:PID maker" of a USB port's hardware id "USB\VID_0403&PID_6001...", else "".
std::string UsbIds(const std::string& hardwareId, const std::string& maker) {
    unsigned vendor = 0, product = 0;
    if (std::sscanf(hardwareId.c_str(), "USB\\VID_%4x&PID_%4x", &vendor, &product) != 2 &&
        std::sscanf(hardwareId.c_str(), "FTDIBUS\\VID_%4x+PID_%4x", &vendor, &product) != 2)
        return "";
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x:%04x", vendor, product);
    return maker.empty() ? ids : std::string(ids) + " " + maker;
}

// What Device Manager says of each port it knows, by port name.
std::map<std::string, SerialPortInfo> DescribedPorts() {
    std::map<std::string, SerialPortInfo> described;
    const HDEVINFO devices = SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return described;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        const std::string name = RegistryText(key, "PortName");
        RegCloseKey(key);
        if (name.empty()) continue;
        described[name] = {name, DeviceProperty(devices, device, SPDRP_FRIENDLYNAME),
                           UsbIds(DeviceProperty(devices, device, SPDRP_HARDWAREID),
                                  DeviceProperty(devices, device, SPDRP_MFG))};
    }
    SetupDiDestroyDeviceInfoList(devices);
    return described;
}

}  // namespace

SerialLine::~SerialLine() = default;

int SerialLine::Open(const std::string& path, unsigned baud, std::string& error) {
    // Asio puts "\\.\" before a bare name: COM10 and above are reached only so.
    asio::error_code failure;
    port_.open(path, failure);
    if (failure) {
        const int result = OpenFailure(failure);
        // The message of a busy port says that another program holds it.
        error = result == TransferResult::kPortBusy ? path : path + ": " + failure.message();
        return result;
    }
    if (!Configure(path, baud, error)) {
        port_.close(failure);
        return TransferResult::kPortRefused;
    }
    // Whatever was waiting from before this transfer is no answer to it.
    PurgeComm(port_.native_handle(), PURGE_RXCLEAR | PURGE_TXCLEAR);
    return TransferResult::kDone;
}

// The ports are the values of HARDWARE\DEVICEMAP\SERIALCOMM, which every
// serial driver fills (Wine too, from its port mapping); Device Manager adds
// their descriptions where it has them, else the driver's device name stands.
std::vector<SerialPortInfo> ListSerialPorts() {
    std::vector<SerialPortInfo> found;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return found;
    const std::map<std::string, SerialPortInfo> described = DescribedPorts();
    char device[256], port[256];
    for (DWORD i = 0;; ++i) {
        DWORD deviceSize = sizeof device, portSize = sizeof port - 1, type = 0;
        if (RegEnumValueA(key, i, device, &deviceSize, nullptr, &type, reinterpret_cast<BYTE*>(port), &portSize) !=
            ERROR_SUCCESS)
            break;
        if (type != REG_SZ) continue;
        port[portSize] = '\0';
        const auto description = described.find(port);
        found.push_back(description != described.end() ? description->second : SerialPortInfo{port, device, {}});
    }
    RegCloseKey(key);
    // COM2 before COM10.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.name.size() != b.name.size() ? a.name.size() < b.name.size() : a.name < b.name;
    });
    return found;
}

std::string PortPath(const std::string& name) { return name; }
