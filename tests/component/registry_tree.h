// A registry key with all its values and subkeys, read into memory: to compare what
// registration wrote, and to put a key back exactly as a test found it.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RegistryValue& other) const {
        return type == other.type && data == other.data;
    }
};

struct RegistryTree {
    // Names as stored; "" is the default value.
    std::map<std::wstring, RegistryValue> values;
    std::map<std::wstring, RegistryTree> subkeys;
    bool operator==(const RegistryTree& other) const {
        return values == other.values && subkeys == other.subkeys;
    }
};

RegistryValue StringValue(const std::wstring& text);

// False when the key does not exist.
bool ReadRegistryTree(HKEY root, const std::wstring& path, RegistryTree& tree);
// Creates the key with exactly these values and subkeys (it must not exist yet).
bool WriteRegistryTree(HKEY root, const std::wstring& path, const RegistryTree& tree);
bool RegistryKeyExists(HKEY root, const std::wstring& path);
void DeleteRegistryTree(HKEY root, const std::wstring& path);

// Saves a key (or its absence) and puts it back when the test ends.
class SavedRegistryKey {
public:
    SavedRegistryKey(HKEY root, std::wstring path);
    SavedRegistryKey(const SavedRegistryKey&) = delete;
    SavedRegistryKey& operator=(const SavedRegistryKey&) = delete;
    ~SavedRegistryKey();

private:
    HKEY m_root;
    std::wstring m_path;
    bool m_existed = false;
    RegistryTree m_tree;
};
