#include "component/settings/user_settings.h"

#include <memory>

namespace radiolink {

namespace {

constexpr char kSettingsKey[] = "Software\\Hushwell\\radiolink";
constexpr char kPortMapKey[] = "Software\\Hushwell\\radiolink\\PortMap";
constexpr char kLinkLogValue[] = "LinkLog";

using KeyHandle = std::unique_ptr<HKEY__, decltype(&RegCloseKey)>;

KeyHandle OpenForReading(HKEY root, const char* path) {
    HKEY key = nullptr;
    RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key);
    return KeyHandle(key, &RegCloseKey);
}

// The index-th value of `key` with its name and string data, each cut to its buffer; both
// empty when the value is not a string or does not fit. False past the last value.
template <size_t NameSize, size_t DataSize>
bool StringValueAt(HKEY key, DWORD index, char (&name)[NameSize], char (&data)[DataSize]) {
    DWORD nameLength = NameSize, type = 0, dataSize = DataSize - 1;
    const LSTATUS status = key ? RegEnumValueA(key, index, name, &nameLength, nullptr, &type,
                                               reinterpret_cast<BYTE*>(data), &dataSize)
                               : ERROR_NO_MORE_ITEMS;
    if (status == ERROR_NO_MORE_ITEMS) {
        return false;
    }
    const bool usable = status == ERROR_SUCCESS && type == REG_SZ;
    data[usable ? dataSize : 0] = '\0';
    name[usable ? nameLength : 0] = '\0';
    return true;
}

} // namespace

bool IsPortName(const char* name) {
    size_t length = 0;
    for (; name[length]; ++length) {
        const char c = name[length];
        if (!(c >= '0' && c <= '9') && !((c | 0x20) >= 'a' && (c | 0x20) <= 'z')) {
            return false;
        }
    }
    return length >= 1 && length <= kMaxPortName;
}

const char* MappedPort(const char* asked, PortName& mapped) {
    DWORD size = sizeof mapped;
    const bool found = RegGetValueA(HKEY_CURRENT_USER, kPortMapKey, asked, RRF_RT_REG_SZ, nullptr,
                                    mapped, &size) == ERROR_SUCCESS;
    return found && IsPortName(mapped) ? mapped : asked;
}

LSTATUS SetPortMapping(const char* from, const char* to) {
    if (!*to) {
        const LSTATUS status = RegDeleteKeyValueA(HKEY_CURRENT_USER, kPortMapKey, from);
        return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status; // nothing to remove
    }
    return RegSetKeyValueA(HKEY_CURRENT_USER, kPortMapKey, from, REG_SZ, to, lstrlenA(to) + 1);
}

bool PortMappingAt(DWORD index, PortName& from, PortName& to) {
    return StringValueAt(OpenForReading(HKEY_CURRENT_USER, kPortMapKey).get(), index, from, to);
}

bool SerialPortAt(DWORD index, PortName& name) {
    char device[256]; // "\Device\Serial0"
    return StringValueAt(
        OpenForReading(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM").get(), index, device,
        name);
}

bool LinkLogOn() {
    DWORD on = 0, size = sizeof on;
    return RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, kLinkLogValue, RRF_RT_REG_DWORD, nullptr,
                        &on, &size) == ERROR_SUCCESS &&
           on != 0;
}

LSTATUS SetLinkLog(bool on) {
    const DWORD value = on ? 1 : 0;
    return RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, kLinkLogValue, REG_DWORD, &value,
                           sizeof value);
}

} // namespace radiolink
