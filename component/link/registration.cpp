#include "component/link/registration.h"

#include <objbase.h>

#include "contract/link_contract.h"

namespace radiolink {

namespace {

struct LinkClass {
    const CLSID* clsid;
    const wchar_t* friendlyName;
};

const LinkClass kLinkClasses[] = {
    {&CLSID_PacketLink, L"Hushwell radio link: PacketLink"},
    {&CLSID_CommandLink, L"Hushwell radio link: CommandLink"},
};

constexpr wchar_t kInprocServer[] = L"InprocServer32";
constexpr wchar_t kThreadingModel[] = L"ThreadingModel";
constexpr wchar_t kApartment[] = L"Apartment";

// Closes a registry key exactly once.
class UniqueKey {
public:
    UniqueKey() = default;
    UniqueKey(const UniqueKey&) = delete;
    UniqueKey& operator=(const UniqueKey&) = delete;
    ~UniqueKey() {
        if (m_key) {
            RegCloseKey(m_key);
        }
    }
    HKEY Get() const { return m_key; }
    HKEY* Put() { return &m_key; }

private:
    HKEY m_key = nullptr;
};

HKEY RootOf(RegistrationScope scope) {
    return scope == RegistrationScope::AllUsers ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
}

// "CLSID\{class id}", under "Software\Classes\" for the current user; with `subkey`
// appended after a backslash when given.
struct KeyPath {
    KeyPath(RegistrationScope scope, REFCLSID clsid, const wchar_t* subkey = nullptr) {
        wchar_t id[40] = {};
        StringFromGUID2(clsid, id, ARRAYSIZE(id));
        wsprintfW(text, L"%sCLSID\\%s%s%s",
                  scope == RegistrationScope::AllUsers ? L"" : L"Software\\Classes\\", id,
                  subkey ? L"\\" : L"", subkey ? subkey : L"");
    }
    wchar_t text[96];
};

LSTATUS SetString(HKEY key, const wchar_t* name, const wchar_t* value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t)));
}

// A REG_SZ value that fits in kMaxDllPath characters; false when it is missing, longer or of
// another type.
bool GetString(HKEY key, const wchar_t* name, wchar_t (&value)[kMaxDllPath]) {
    DWORD type = 0;
    DWORD size = sizeof value - sizeof(wchar_t); // room for a terminating zero of our own
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    value[size / sizeof(wchar_t)] = L'\0';
    return true;
}

bool SameText(const wchar_t* a, const wchar_t* b) {
    return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

HRESULT FromStatus(LSTATUS status) {
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

HRESULT WriteClassEntries(RegistrationScope scope, const LinkClass& linkClass,
                          const wchar_t* dllPath) {
    const KeyPath classPath(scope, *linkClass.clsid);
    UniqueKey classKey;
    LSTATUS status = RegCreateKeyExW(RootOf(scope), classPath.text, 0, nullptr, 0, KEY_WRITE,
                                     nullptr, classKey.Put(), nullptr);
    if (status == ERROR_SUCCESS) {
        status = SetString(classKey.Get(), nullptr, linkClass.friendlyName);
    }
    UniqueKey serverKey;
    if (status == ERROR_SUCCESS) {
        status = RegCreateKeyExW(classKey.Get(), kInprocServer, 0, nullptr, 0, KEY_WRITE, nullptr,
                                 serverKey.Put(), nullptr);
    }
    if (status == ERROR_SUCCESS) {
        status = SetString(serverKey.Get(), nullptr, dllPath);
    }
    if (status == ERROR_SUCCESS) {
        status = SetString(serverKey.Get(), kThreadingModel, kApartment);
    }
    return FromStatus(status);
}

// True when the class key holds no subkey and no value other than our friendly name.
bool OnlyOurNameLeft(HKEY classKey, const LinkClass& linkClass) {
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyW(classKey, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
        subkeys != 0) {
        return false;
    }
    wchar_t name[kMaxDllPath];
    return values == 0 || (values == 1 && GetString(classKey, nullptr, name) &&
                           lstrcmpW(name, linkClass.friendlyName) == 0);
}

HRESULT RemoveClassEntries(RegistrationScope scope, const LinkClass& linkClass,
                           const wchar_t* dllPath) {
    const KeyPath classPath(scope, *linkClass.clsid);
    const KeyPath serverPath(scope, *linkClass.clsid, kInprocServer);
    {
        UniqueKey serverKey;
        LSTATUS status =
            RegOpenKeyExW(RootOf(scope), serverPath.text, 0, KEY_READ, serverKey.Put());
        if (status == ERROR_FILE_NOT_FOUND) {
            return S_OK;
        }
        if (status != ERROR_SUCCESS) {
            return FromStatus(status);
        }
        wchar_t registeredPath[kMaxDllPath];
        if (!GetString(serverKey.Get(), nullptr, registeredPath) ||
            !SameText(registeredPath, dllPath)) {
            return S_OK;
        }
    }
    LSTATUS status = RegDeleteKeyW(RootOf(scope), serverPath.text);
    if (status != ERROR_SUCCESS) {
        return FromStatus(status);
    }
    bool removeClassKey = false;
    {
        UniqueKey classKey;
        if (RegOpenKeyExW(RootOf(scope), classPath.text, 0, KEY_READ, classKey.Put()) ==
            ERROR_SUCCESS) {
            removeClassKey = OnlyOurNameLeft(classKey.Get(), linkClass);
        }
    }
    return removeClassKey ? FromStatus(RegDeleteKeyW(RootOf(scope), classPath.text)) : S_OK;
}

} // namespace

bool ScopeFromInstallArgument(const wchar_t* argument, RegistrationScope& scope) {
    if (!argument || !*argument) {
        scope = RegistrationScope::AllUsers;
        return true;
    }
    if (SameText(argument, L"user")) {
        scope = RegistrationScope::CurrentUser;
        return true;
    }
    return false;
}

HRESULT RegisterLinkClasses(RegistrationScope scope, const wchar_t* dllPath) {
    for (const LinkClass& linkClass : kLinkClasses) {
        const HRESULT hr = WriteClassEntries(scope, linkClass, dllPath);
        if (FAILED(hr)) {
            UnregisterLinkClasses(scope, dllPath);
            return hr;
        }
    }
    return S_OK;
}

HRESULT UnregisterLinkClasses(RegistrationScope scope, const wchar_t* dllPath) {
    HRESULT result = S_OK;
    for (const LinkClass& linkClass : kLinkClasses) {
        const HRESULT hr = RemoveClassEntries(scope, linkClass, dllPath);
        if (FAILED(hr) && SUCCEEDED(result)) {
            result = hr;
        }
    }
    return result;
}

} // namespace radiolink
