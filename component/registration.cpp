#include "component/registration.h"

#include <objbase.h>

#include <vector>

#include "radio/radio_link.h"

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

std::wstring ClassKeyPath(RegistrationScope scope, REFCLSID clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, ARRAYSIZE(text));
    const std::wstring path = std::wstring(L"CLSID\\") + text;
    return scope == RegistrationScope::AllUsers ? path : L"Software\\Classes\\" + path;
}

LSTATUS SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// A REG_SZ value; false when it is missing or of another type.
bool GetString(HKEY key, const wchar_t* name, std::wstring& value) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    value.assign(text.data());
    return true;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

HRESULT FromStatus(LSTATUS status) {
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

HRESULT WriteClassEntries(RegistrationScope scope, const LinkClass& linkClass,
                          const std::wstring& dllPath) {
    const std::wstring classPath = ClassKeyPath(scope, *linkClass.clsid);
    UniqueKey classKey;
    LSTATUS status = RegCreateKeyExW(RootOf(scope), classPath.c_str(), 0, nullptr, 0, KEY_WRITE,
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
    std::wstring name;
    return values == 0 ||
           (values == 1 && GetString(classKey, nullptr, name) && name == linkClass.friendlyName);
}

HRESULT RemoveClassEntries(RegistrationScope scope, const LinkClass& linkClass,
                           const std::wstring& dllPath) {
    const std::wstring classPath = ClassKeyPath(scope, *linkClass.clsid);
    const std::wstring serverPath = classPath + L"\\" + kInprocServer;
    {
        UniqueKey serverKey;
        LSTATUS status =
            RegOpenKeyExW(RootOf(scope), serverPath.c_str(), 0, KEY_READ, serverKey.Put());
        if (status == ERROR_FILE_NOT_FOUND) {
            return S_OK;
        }
        if (status != ERROR_SUCCESS) {
            return FromStatus(status);
        }
        std::wstring registeredPath;
        if (!GetString(serverKey.Get(), nullptr, registeredPath) ||
            !SameText(registeredPath, dllPath)) {
            return S_OK;
        }
    }
    LSTATUS status = RegDeleteKeyW(RootOf(scope), serverPath.c_str());
    if (status != ERROR_SUCCESS) {
        return FromStatus(status);
    }
    bool removeClassKey = false;
    {
        UniqueKey classKey;
        if (RegOpenKeyExW(RootOf(scope), classPath.c_str(), 0, KEY_READ, classKey.Put()) ==
            ERROR_SUCCESS) {
            removeClassKey = OnlyOurNameLeft(classKey.Get(), linkClass);
        }
    }
    return removeClassKey ? FromStatus(RegDeleteKeyW(RootOf(scope), classPath.c_str())) : S_OK;
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

HRESULT RegisterLinkClasses(RegistrationScope scope, const std::wstring& dllPath) {
    for (const LinkClass& linkClass : kLinkClasses) {
        const HRESULT hr = WriteClassEntries(scope, linkClass, dllPath);
        if (FAILED(hr)) {
            UnregisterLinkClasses(scope, dllPath);
            return hr;
        }
    }
    return S_OK;
}

HRESULT UnregisterLinkClasses(RegistrationScope scope, const std::wstring& dllPath) {
    HRESULT result = S_OK;
    for (const LinkClass& linkClass : kLinkClasses) {
        const HRESULT hr = RemoveClassEntries(scope, linkClass, dllPath);
        if (FAILED(hr) && SUCCEEDED(result)) {
            result = hr;
        }
    }
    return result;
}

const wchar_t* LinkClassFriendlyName(REFCLSID clsid) {
    for (const LinkClass& linkClass : kLinkClasses) {
        if (*linkClass.clsid == clsid) {
            return linkClass.friendlyName;
        }
    }
    return nullptr;
}
