#include "component/port_program/serial_devices.h"

#include <setupapi.h>

#include <memory>

namespace radiolink {

namespace {

// GUID_DEVCLASS_PORTS, the class of serial and parallel port devices.
constexpr GUID kPortsClass = {
    0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
// DEVPKEY_Device_ProblemCode (Windows Vista and later): a DEVPROP_TYPE_UINT32.
constexpr DEVPROPKEY kProblemCode = {
    {0x4340a6c5, 0x93fa, 0x4706, {0x97, 0x2c, 0x7b, 0x64, 0x80, 0x08, 0xa5, 0xa7}}, 3};

// Characters read of a friendly name or description, its terminating zero included; a longer one
// is not read (the property call fails), one that fits is cut to kMaxDeviceName.
constexpr DWORD kMaxFriendlyName = 256;
// MAX_DEVICE_ID_LEN of cfgmgr32.h, the longest instance id.
constexpr DWORD kMaxInstanceId = 200;

// The USB vendor ids of the makers of serial converter chips.
constexpr struct {
    uint16_t vendor;
    const wchar_t* maker;
} kConverterMakers[] = {
    {0x0403, L"FTDI"}, {0x067B, L"Prolific"}, {0x10C4, L"Silicon Labs"},
    {0x1A86, L"WCH"},  {0x4348, L"WCH"}, // WCH's older id
};

// setupapi.dll is loaded when the dialog opens, not imported: the port program needs it only to
// make the list.
struct FreeLibraryOf {
    void operator()(HMODULE library) const { FreeLibrary(library); }
};
using Library = std::unique_ptr<HINSTANCE__, FreeLibraryOf>;

// A function of the loaded library, of the type its declaration has (WINAPI included).
template <class Function>
Function* Find(const Library& library, const char* name) {
    // Through void (*)(), which converts to any function pointer type without a warning.
    return reinterpret_cast<Function*>(
        reinterpret_cast<void (*)()>(GetProcAddress(library.get(), name)));
}

struct DestroyInfoSet {
    decltype(SetupDiDestroyDeviceInfoList)* destroy;
    void operator()(HDEVINFO set) const { destroy(set); }
};
using InfoSet = std::unique_ptr<void, DestroyInfoSet>;

using KeyHandle = std::unique_ptr<HKEY__, decltype(&RegCloseKey)>;

// The PortName value of a device's key (SetupDiOpenDevRegKey gives INVALID_HANDLE_VALUE when
// there is none).
bool PortNameOf(HKEY opened, PortName& port) {
    const KeyHandle key(opened == INVALID_HANDLE_VALUE ? nullptr : opened, &RegCloseKey);
    DWORD size = sizeof port;
    return key && RegGetValueA(key.get(), nullptr, "PortName", RRF_RT_REG_SZ, nullptr, port,
                               &size) == ERROR_SUCCESS;
}

// A DLL of the system folder, by its full path, so that no other folder is searched for it;
// its own imports are looked for from there too. (LoadLibraryEx's LOAD_LIBRARY_SEARCH_SYSTEM32
// needs an update that not every Windows 7 has.)
Library LoadSystemLibrary(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenW(name) >= MAX_PATH) {
        return Library();
    }
    path[length] = L'\\';
    lstrcpyW(path + length + 1, name);
    return Library(LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool StartsWith(const wchar_t* text, const wchar_t* prefix) {
    for (; *prefix; ++text, ++prefix) {
        if (Upper(*text) != Upper(*prefix)) {
            return false;
        }
    }
    return true;
}

// The four hex digits after `key` ("VID_") in `id`; false where there are none.
bool HexAfter(const wchar_t* id, const wchar_t* key, uint16_t& value) {
    for (; *id; ++id) {
        if (!StartsWith(id, key)) {
            continue;
        }
        unsigned read = 0;
        const wchar_t* digit = id + lstrlenW(key);
        for (int i = 0; i < 4; ++i, ++digit) {
            const wchar_t c = Upper(*digit);
            const int nibble = c >= L'0' && c <= L'9'   ? c - L'0'
                               : c >= L'A' && c <= L'F' ? c - L'A' + 10
                                                        : -1;
            if (nibble < 0) {
                return false;
            }
            read = read * 16 + static_cast<unsigned>(nibble);
        }
        value = static_cast<uint16_t>(read);
        return true;
    }
    return false;
}

// LPT1 and the like: the Ports class holds the printer ports too.
bool IsPrinterPort(const char* port) {
    return (port[0] | 0x20) == 'l' && (port[1] | 0x20) == 'p' && (port[2] | 0x20) == 't';
}

// Windows' problem code for the device, 0 where it reports none.
DWORD ProblemOf(decltype(SetupDiGetDevicePropertyW)* property, HDEVINFO set,
                SP_DEVINFO_DATA& info) {
    DEVPROPTYPE type = 0;
    ULONG problem = 0;
    return property &&
                   property(set, &info, &kProblemCode, &type, reinterpret_cast<BYTE*>(&problem),
                            sizeof problem, nullptr, 0) &&
                   type == DEVPROP_TYPE_UINT32
               ? problem
               : 0;
}

} // namespace

void ReadInstanceId(const wchar_t* instanceId, SerialDevice& device) {
    uint16_t vendor = 0, product = 0;
    const bool usb =
        HexAfter(instanceId, L"VID_", vendor) && HexAfter(instanceId, L"PID_", product);
    device.vendor = usb ? vendor : 0;
    device.product = usb ? product : 0;
    device.bluetooth = StartsWith(instanceId, L"BTHENUM\\");
}

const wchar_t* ConverterMaker(uint16_t vendor) {
    for (const auto& known : kConverterMakers) {
        if (known.vendor == vendor) {
            return known.maker;
        }
    }
    return nullptr;
}

void CollectSerialDevices(SerialDevices& devices) {
    devices.count = 0;
    const Library library = LoadSystemLibrary(L"setupapi.dll");
    if (!library) {
        return;
    }
    const auto classDevices = Find<decltype(SetupDiGetClassDevsW)>(library, "SetupDiGetClassDevsW");
    const auto device = Find<decltype(SetupDiEnumDeviceInfo)>(library, "SetupDiEnumDeviceInfo");
    const auto instance =
        Find<decltype(SetupDiGetDeviceInstanceIdW)>(library, "SetupDiGetDeviceInstanceIdW");
    const auto deviceKey = Find<decltype(SetupDiOpenDevRegKey)>(library, "SetupDiOpenDevRegKey");
    const auto property = Find<decltype(SetupDiGetDeviceRegistryPropertyW)>(
        library, "SetupDiGetDeviceRegistryPropertyW");
    // Windows Vista and later; before, no device counts as having a problem.
    const auto problemProperty =
        Find<decltype(SetupDiGetDevicePropertyW)>(library, "SetupDiGetDevicePropertyW");
    const DestroyInfoSet destroy{
        Find<decltype(SetupDiDestroyDeviceInfoList)>(library, "SetupDiDestroyDeviceInfoList")};
    if (!classDevices || !device || !instance || !deviceKey || !property || !destroy.destroy) {
        return;
    }
    const HDEVINFO found =
        classDevices(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    // Declared after the library, so destroyed before it is freed.
    const InfoSet set(found == INVALID_HANDLE_VALUE ? nullptr : found, destroy);
    SP_DEVINFO_DATA info = {};
    info.cbSize = sizeof info;
    for (DWORD i = 0; set && devices.count < kMaxSerialDevices && device(set.get(), i, &info);
         ++i) {
        SerialDevice& serial = devices.at[devices.count];
        serial = SerialDevice{};
        wchar_t id[kMaxInstanceId] = {};
        instance(set.get(), &info, id, kMaxInstanceId, nullptr);
        ReadInstanceId(id, serial);
        serial.problem = ProblemOf(problemProperty, set.get(), info);
        const bool port = IsEqualGUID(info.ClassGuid, kPortsClass);
        const bool named =
            PortNameOf(deviceKey(set.get(), &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE),
                       serial.port);
        if (!named) {
            serial.port[0] = '\0'; // whatever a failed read left there
        }
        // A port, serial rather than a printer's; or a converter that Windows has stopped.
        const bool kept = port ? (named || serial.problem != 0) && !IsPrinterPort(serial.port)
                               : serial.problem != 0 && ConverterMaker(serial.vendor);
        if (!kept) {
            continue;
        }
        wchar_t full[kMaxFriendlyName] = {}; // the last character stays 0
        // The friendly name ("USB-SERIAL CH340 (COM7)"), or for a driver that gives none (or a
        // device with no driver), the device's description ("USB-SERIAL CH340").
        const auto read = [&](DWORD which) {
            return property(set.get(), &info, which, nullptr, reinterpret_cast<BYTE*>(full),
                            sizeof full - sizeof *full, nullptr);
        };
        if (read(SPDRP_FRIENDLYNAME) || read(SPDRP_DEVICEDESC)) {
            lstrcpynW(serial.name, full, kMaxDeviceName);
        }
        ++devices.count;
    }
}

} // namespace radiolink
