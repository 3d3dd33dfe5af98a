// The class object of each link class: makes instances, refuses aggregation.
#pragma once

#include <windows.h>
#include <objbase.h>

#include "component/module_count.h"

using InstanceCreator = HRESULT (*)(REFIID iid, void** object);

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(InstanceCreator create) : m_create(create) {}
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ~ClassFactory() = default;

    LONG m_references = 1;
    InstanceCreator m_create;
    LiveObject m_live;
};

// The class object for clsid, asked for iid: CLASS_E_CLASSNOTAVAILABLE for any class id
// other than CLSID_PacketLink and CLSID_CommandLink.
HRESULT GetLinkClassObject(REFCLSID clsid, REFIID iid, void** object);
