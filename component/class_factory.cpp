#include "component/class_factory.h"

#include <new>

#include "component/command_link.h"
#include "component/packet_link.h"
#include "radio/radio_link.h"

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

ULONG ClassFactory::AddRef() {
    return InterlockedIncrement(&m_references);
}

ULONG ClassFactory::Release() {
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer) {
        return CLASS_E_NOAGGREGATION;
    }
    return m_create(iid, object);
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
    InstanceCreator create = nullptr;
    if (clsid == CLSID_PacketLink) {
        create = NewPacketLink;
    } else if (clsid == CLSID_CommandLink) {
        create = NewCommandLink;
    } else {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    ClassFactory* factory = new (std::nothrow) ClassFactory(create);
    if (!factory) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}
