#include "radiolink_dll.h"

#include <vector>

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using NoArgumentFn = HRESULT(STDAPICALLTYPE*)();
using InstallFn = HRESULT(STDAPICALLTYPE*)(BOOL, const wchar_t*);

// RADIOLINK_DLL is the DLL's path in the Linux build tree; Wine's drive Z: is the root.
std::wstring DllPathUnderWine() {
    std::wstring path = L"Z:";
    for (const char* c = RADIOLINK_DLL; *c; ++c) {
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    }
    return path;
}

template <class Fn>
Fn As(FARPROC proc) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

} // namespace

RadioLinkDll::RadioLinkDll() {
    m_module = LoadLibraryW(DllPathUnderWine().c_str());
    if (!m_module) {
        m_error =
            "LoadLibrary(" RADIOLINK_DLL ") failed with error " + std::to_string(GetLastError());
        return;
    }
    m_getClassObject = GetProcAddress(m_module, "DllGetClassObject");
    m_canUnloadNow = GetProcAddress(m_module, "DllCanUnloadNow");
    m_registerServer = GetProcAddress(m_module, "DllRegisterServer");
    m_unregisterServer = GetProcAddress(m_module, "DllUnregisterServer");
    m_install = GetProcAddress(m_module, "DllInstall");
    if (!m_getClassObject || !m_canUnloadNow || !m_registerServer || !m_unregisterServer ||
        !m_install) {
        m_error = "radiolink.dll lacks one of its five exports";
        FreeLibrary(m_module);
        m_module = nullptr;
    }
}

RadioLinkDll::~RadioLinkDll() {
    if (m_module) {
        FreeLibrary(m_module);
    }
}

std::wstring RadioLinkDll::Path() const {
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(m_module, path.data(), static_cast<DWORD>(path.size()));
    return std::wstring(path.data(), length);
}

HRESULT RadioLinkDll::GetClassObject(REFCLSID clsid, REFIID iid, void** object) const {
    return As<GetClassObjectFn>(m_getClassObject)(clsid, iid, object);
}

HRESULT RadioLinkDll::CanUnloadNow() const {
    return As<NoArgumentFn>(m_canUnloadNow)();
}
HRESULT RadioLinkDll::RegisterServer() const {
    return As<NoArgumentFn>(m_registerServer)();
}
HRESULT RadioLinkDll::UnregisterServer() const {
    return As<NoArgumentFn>(m_unregisterServer)();
}
HRESULT RadioLinkDll::Install(BOOL install, const wchar_t* commandLine) const {
    return As<InstallFn>(m_install)(install, commandLine);
}

HRESULT RadioLinkDll::CreateLink(REFCLSID clsid, ComPtr<IRadioLink>& link) const {
    ComPtr<IClassFactory> factory;
    HRESULT hr = GetClassObject(clsid, IID_IClassFactory, factory.PutVoid());
    if (FAILED(hr)) {
        return hr;
    }
    return factory->CreateInstance(nullptr, IID_IRadioLink, link.PutVoid());
}
