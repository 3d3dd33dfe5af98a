#include "component/link/class_factory.h"

#include <new>

#include "contract/link_contract.h"

namespace radiolink {

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer) {
        return CLASS_E_NOAGGREGATION;
    }
    return NewLink(m_class, iid, object);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        module_count::Lock();
    } else {
        module_count::Unlock();
    }
    return S_OK;
}

HRESULT GetLinkClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    LinkClass linkClass;
    if (clsid == CLSID_PacketLink) {
        linkClass = LinkClass::Packet;
    } else if (clsid == CLSID_CommandLink) {
        linkClass = LinkClass::Command;
    } else {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    ClassFactory* factory = new (std::nothrow) ClassFactory(linkClass);
    if (!factory) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}

} // namespace radiolink
