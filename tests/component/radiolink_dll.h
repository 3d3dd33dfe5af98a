// The built radiolink.dll, loaded into the test process and called through its exports, as
// COM and regsvr32 call it.
#pragma once

#include <windows.h>

#include <string>

#include "radio/radio_link.h"

class RadioLinkDll {
public:
    RadioLinkDll();
    RadioLinkDll(const RadioLinkDll&) = delete;
    RadioLinkDll& operator=(const RadioLinkDll&) = delete;
    ~RadioLinkDll();

    bool Loaded() const { return m_module != nullptr; }
    // The full path the DLL was loaded from, as registration must name it.
    std::wstring Path() const;
    // A description of what went wrong when Loaded() is false.
    const std::string& LoadError() const { return m_error; }

    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) const;
    HRESULT CanUnloadNow() const;
    HRESULT RegisterServer() const;
    HRESULT UnregisterServer() const;
    HRESULT Install(BOOL install, const wchar_t* commandLine) const;

    // An instance of clsid made by the DLL's own class object, as IRadioLink.
    HRESULT CreateLink(REFCLSID clsid, ComPtr<IRadioLink>& link) const;

private:
    HMODULE m_module = nullptr;
    std::string m_error;
    FARPROC m_getClassObject = nullptr;
    FARPROC m_canUnloadNow = nullptr;
    FARPROC m_registerServer = nullptr;
    FARPROC m_unregisterServer = nullptr;
    FARPROC m_install = nullptr;
};

// Initialises COM for one test (apartment-threaded, as the program does).
class ComApartment {
public:
    ComApartment() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(m_result)) {
            CoUninitialize();
        }
    }
    HRESULT Result() const { return m_result; }

private:
    HRESULT m_result;
};
