// The class object of each link class: makes instances, refuses aggregation.
#pragma once

#include <windows.h>
#include <objbase.h>

#include "component/link/link_object.h"
#include "component/link/ref_count.h"

namespace radiolink {

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(LinkClass linkClass) : m_class(linkClass) {}
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return m_references.Add(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_references.Drop(this); }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    friend class RefCount;
    ~ClassFactory() = default;

    const LinkClass m_class;
    RefCount m_references;
};

// The class object for clsid, asked for iid: CLASS_E_CLASSNOTAVAILABLE for any class id
// other than CLSID_PacketLink and CLSID_CommandLink.
HRESULT GetLinkClassObject(REFCLSID clsid, REFIID iid, void** object);

} // namespace radiolink
