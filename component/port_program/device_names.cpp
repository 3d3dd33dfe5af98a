#include "component/port_program/device_names.h"

#include <setupapi.h>

#include <memory>

namespace radiolink {

namespace {

// GUID_DEVCLASS_PORTS, the class of serial and parallel port devices.
constexpr GUID kPortsClass = {
    0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

// Characters read of a friendly name or description, its terminating zero included; a longer one
// is not read (the property call fails), one that fits is cut to kMaxDeviceName.
constexpr DWORD kMaxFriendlyName = 256;

// setupapi.dll is loaded when the dialog opens, not imported: the port program needs it only
// while it makes the list.
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

} // namespace

void CollectDeviceNames(DeviceNames& names) {
    names.count = 0;
    const Library library = LoadSystemLibrary(L"setupapi.dll");
    if (!library) {
        return;
    }
    const auto classDevices = Find<decltype(SetupDiGetClassDevsW)>(library, "SetupDiGetClassDevsW");
    const auto device = Find<decltype(SetupDiEnumDeviceInfo)>(library, "SetupDiEnumDeviceInfo");
    const auto deviceKey = Find<decltype(SetupDiOpenDevRegKey)>(library, "SetupDiOpenDevRegKey");
    const auto property = Find<decltype(SetupDiGetDeviceRegistryPropertyW)>(
        library, "SetupDiGetDeviceRegistryPropertyW");
    const DestroyInfoSet destroy{
        Find<decltype(SetupDiDestroyDeviceInfoList)>(library, "SetupDiDestroyDeviceInfoList")};
    if (!classDevices || !device || !deviceKey || !property || !destroy.destroy) {
        return;
    }
    const HDEVINFO found = classDevices(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    // Declared after the library, so destroyed before it is freed.
    const InfoSet set(found == INVALID_HANDLE_VALUE ? nullptr : found, destroy);
    SP_DEVINFO_DATA info = {};
    info.cbSize = sizeof info;
    for (DWORD i = 0; set && names.count < kMaxDeviceNames && device(set.get(), i, &info); ++i) {
        DeviceName& name = names.at[names.count];
        wchar_t full[kMaxFriendlyName] = {}; // the last character stays 0
        // The friendly name ("USB-SERIAL CH340 (COM7)"), or for a driver that gives none, the
        // device's description ("USB-SERIAL CH340").
        const auto read = [&](DWORD which) {
            return property(set.get(), &info, which, nullptr, reinterpret_cast<BYTE*>(full),
                            sizeof full - sizeof *full, nullptr);
        };
        if (PortNameOf(deviceKey(set.get(), &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE),
                       name.port) &&
            (read(SPDRP_FRIENDLYNAME) || read(SPDRP_DEVICEDESC))) {
            lstrcpynW(name.name, full, kMaxDeviceName);
            ++names.count;
        }
    }
}

} // namespace radiolink
