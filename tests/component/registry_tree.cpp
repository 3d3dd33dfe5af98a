#include "registry_tree.h"

#include <utility>

namespace {

bool ReadOpenKey(HKEY key, RegistryTree& tree) {
    DWORD subkeys = 0, maxSubkey = 0, values = 0, maxValueName = 0, maxData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &values,
                         &maxValueName, &maxData, nullptr, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    for (DWORD i = 0; i < values; ++i) {
        std::vector<wchar_t> name(maxValueName + 2);
        DWORD nameLength = static_cast<DWORD>(name.size());
        RegistryValue value;
        value.data.resize(maxData + 2);
        DWORD size = static_cast<DWORD>(value.data.size());
        if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &value.type, value.data.data(),
                          &size) != ERROR_SUCCESS) {
            return false;
        }
        value.data.resize(size);
        tree.values[std::wstring(name.data(), nameLength)] = value;
    }
    for (DWORD i = 0; i < subkeys; ++i) {
        std::vector<wchar_t> name(maxSubkey + 2);
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            return false;
        }
        const std::wstring subkeyName(name.data(), nameLength);
        HKEY subkey = nullptr;
        if (RegOpenKeyExW(key, subkeyName.c_str(), 0, KEY_READ, &subkey) != ERROR_SUCCESS) {
            return false;
        }
        const bool read = ReadOpenKey(subkey, tree.subkeys[subkeyName]);
        RegCloseKey(subkey);
        if (!read) {
            return false;
        }
    }
    return true;
}

bool WriteOpenKey(HKEY key, const RegistryTree& tree) {
    for (const auto& [name, value] : tree.values) {
        if (RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, value.type,
                           value.data.data(),
                           static_cast<DWORD>(value.data.size())) != ERROR_SUCCESS) {
            return false;
        }
    }
    for (const auto& [name, subtree] : tree.subkeys) {
        if (!WriteRegistryTree(key, name, subtree)) {
            return false;
        }
    }
    return true;
}

} // namespace

RegistryValue StringValue(const std::wstring& text) {
    RegistryValue value;
    value.type = REG_SZ;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    value.data.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
    return value;
}

bool ReadRegistryTree(HKEY root, const std::wstring& path, RegistryTree& tree) {
    tree = {};
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    const bool read = ReadOpenKey(key, tree);
    RegCloseKey(key);
    return read;
}

bool WriteRegistryTree(HKEY root, const std::wstring& path, const RegistryTree& tree) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool written = WriteOpenKey(key, tree);
    RegCloseKey(key);
    return written;
}

bool RegistryKeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void DeleteRegistryTree(HKEY root, const std::wstring& path) {
    RegDeleteTreeW(root, path.c_str());
    RegDeleteKeyW(root, path.c_str());
}

SavedRegistryKey::SavedRegistryKey(HKEY root, std::wstring path)
    : m_root(root), m_path(std::move(path)) {
    m_existed = ReadRegistryTree(m_root, m_path, m_tree);
}

SavedRegistryKey::~SavedRegistryKey() {
    DeleteRegistryTree(m_root, m_path);
    if (m_existed) {
        WriteRegistryTree(m_root, m_path, m_tree);
    }
}
