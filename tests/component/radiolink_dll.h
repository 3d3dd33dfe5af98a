// The built radiolink.dll loaded into the test process and called through its exports, as COM
// and regsvr32 call it. RADIOLINK_DLL is its path in the build tree.
#pragma once

#include <windows.h>

#include "radio/radio_link.h"

using radio::ComPtr;

class RadioLinkDll {
public:
    RadioLinkDll() : m_module(LoadLibraryA("Z:" RADIOLINK_DLL)) {} // Wine's Z: is the root
    RadioLinkDll(const RadioLinkDll&) = delete;
    ~RadioLinkDll() { FreeLibrary(m_module); }
    // Calls an export by name, with the argument types it is declared with.
    template <class... Args>
    HRESULT Call(const char* name, Args... args) const {
        using Function = HRESULT(STDAPICALLTYPE*)(Args...);
        const FARPROC proc = GetProcAddress(m_module, name);
        return proc ? reinterpret_cast<Function>(reinterpret_cast<void*>(proc))(args...)
                    : E_NOTIMPL;
    }
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) const {
        return Call<REFCLSID, REFIID, void**>("DllGetClassObject", clsid, iid, object);
    }

private:
    const HMODULE m_module;
};

// COM for one test, apartment-threaded as the program runs it.
class ComApartment {
public:
    ComApartment() = default;
    ComApartment(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(m_result)) {
            CoUninitialize();
        }
    }

private:
    const HRESULT m_result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
};
