// radiolink.dll as a COM server: class objects, interfaces, reference counts, the unload
// check, and ports that cannot be opened.
#include <gtest/gtest.h>

#include <string>

#include "component/link_errors.h"
#include "radiolink_dll.h"
#include "transfer_buffer.h"

namespace {

class ComServer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(apartment.Result()));
        ASSERT_TRUE(dll.Loaded()) << dll.LoadError();
    }
    ComApartment apartment;
    RadioLinkDll dll;
};

TEST_F(ComServer, HasAClassObjectForEachLinkClassOnly) {
    for (const CLSID* clsid : {&CLSID_PacketLink, &CLSID_CommandLink}) {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, dll.GetClassObject(*clsid, IID_IClassFactory, factory.PutVoid()));
        EXPECT_TRUE(factory);
        ComPtr<IUnknown> unknown;
        EXPECT_EQ(S_OK, dll.GetClassObject(*clsid, IID_IUnknown, unknown.PutVoid()));
        ComPtr<IUnknown> other;
        EXPECT_EQ(E_NOINTERFACE, dll.GetClassObject(*clsid, IID_IRadioLink, other.PutVoid()));
        EXPECT_FALSE(other);
    }
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              dll.GetClassObject(IID_IRadioLink, IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);
}

TEST_F(ComServer, RefusesAggregation) {
    for (const CLSID* clsid : {&CLSID_PacketLink, &CLSID_CommandLink}) {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, dll.GetClassObject(*clsid, IID_IClassFactory, factory.PutVoid()));
        ComPtr<IUnknown> outer;
        ASSERT_EQ(S_OK, dll.GetClassObject(*clsid, IID_IUnknown, outer.PutVoid()));
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(CLASS_E_NOAGGREGATION,
                  factory->CreateInstance(outer.Get(), IID_IUnknown, &object));
        EXPECT_EQ(nullptr, object);
    }
}

struct InterfaceCase {
    const char* name;
    const CLSID* clsid;
    const IID* iid;
    HRESULT result;
};

const InterfaceCase kInterfaces[] = {
    {"packet_unknown", &CLSID_PacketLink, &IID_IUnknown, S_OK},
    {"packet_radio_link", &CLSID_PacketLink, &IID_IRadioLink, S_OK},
    {"packet_transfer", &CLSID_PacketLink, &IID_IPacketTransfer, S_OK},
    {"packet_class_factory", &CLSID_PacketLink, &IID_IClassFactory, E_NOINTERFACE},
    {"packet_dispatch", &CLSID_PacketLink, &IID_IDispatch, E_NOINTERFACE},
    {"command_unknown", &CLSID_CommandLink, &IID_IUnknown, S_OK},
    {"command_radio_link", &CLSID_CommandLink, &IID_IRadioLink, S_OK},
    {"command_packet_transfer", &CLSID_CommandLink, &IID_IPacketTransfer, E_NOINTERFACE},
    {"command_dispatch", &CLSID_CommandLink, &IID_IDispatch, E_NOINTERFACE},
};

class Interfaces : public ComServer, public testing::WithParamInterface<InterfaceCase> {};

TEST_P(Interfaces, AnswerQueryInterface) {
    const InterfaceCase& c = GetParam();
    ComPtr<IRadioLink> link;
    ASSERT_EQ(S_OK, dll.CreateLink(*c.clsid, link));
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(c.result, link->QueryInterface(*c.iid, &object));
    if (SUCCEEDED(c.result)) {
        ASSERT_NE(nullptr, object);
        // Identity: IUnknown is the same pointer whichever interface it is asked through.
        ComPtr<IUnknown> held;
        *held.Put() = static_cast<IUnknown*>(object);
        ComPtr<IUnknown> viaInterface, viaLink;
        ASSERT_EQ(S_OK, held->QueryInterface(IID_IUnknown, viaInterface.PutVoid()));
        ASSERT_EQ(S_OK, link->QueryInterface(IID_IUnknown, viaLink.PutVoid()));
        EXPECT_EQ(viaLink.Get(), viaInterface.Get());
    } else {
        EXPECT_EQ(nullptr, object);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Interfaces, testing::ValuesIn(kInterfaces),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ComServer, CountsReferencesAcrossInterfaces) {
    ComPtr<IRadioLink> link;
    ASSERT_EQ(S_OK, dll.CreateLink(CLSID_PacketLink, link));
    EXPECT_EQ(2u, link->AddRef());
    EXPECT_EQ(1u, link->Release());
    ComPtr<IPacketTransfer> transfer;
    ASSERT_EQ(S_OK, link->QueryInterface(IID_IPacketTransfer, transfer.PutVoid()));
    EXPECT_EQ(3u, transfer->AddRef());
    EXPECT_EQ(2u, transfer->Release());
}

TEST_F(ComServer, CanUnloadOnlyWithNoObjectAndNoLock) {
    EXPECT_EQ(S_OK, dll.CanUnloadNow());
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK,
                  dll.GetClassObject(CLSID_CommandLink, IID_IClassFactory, factory.PutVoid()));
        EXPECT_EQ(S_FALSE, dll.CanUnloadNow()) << "a class object is alive";
        ComPtr<IRadioLink> link;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IRadioLink, link.PutVoid()));
        EXPECT_EQ(S_OK, factory->LockServer(TRUE));
        factory.Reset();
        EXPECT_EQ(S_FALSE, dll.CanUnloadNow()) << "a link and a lock are alive";
        link.Reset();
        EXPECT_EQ(S_FALSE, dll.CanUnloadNow()) << "the lock is held";
        ASSERT_EQ(S_OK,
                  dll.GetClassObject(CLSID_CommandLink, IID_IClassFactory, factory.PutVoid()));
        EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    }
    EXPECT_EQ(S_OK, dll.CanUnloadNow());
}

TEST_F(ComServer, ANewLinkIsClosed) {
    ComPtr<IRadioLink> link;
    ASSERT_EQ(S_OK, dll.CreateLink(CLSID_CommandLink, link));
    TestBuffer command;
    command.Fill({0, 0, 5, 8, 0});
    EXPECT_EQ(RADIOLINK_E_NOT_OPEN, link->Send(command.Get()));
    EXPECT_EQ(S_FALSE, link->Close());
}

struct AbsentPortCase {
    const char* name;
    const CLSID* clsid;
    const char* port;
    int32_t option;
};

const AbsentPortCase kAbsentPorts[] = {
    {"command_link_com9", &CLSID_CommandLink, "COM9", kCommandConnection},
    {"packet_link_com9", &CLSID_PacketLink, "COM9", kPacketConnection},
    {"made_up_name", &CLSID_PacketLink, "NOSUCHPORT", kPacketConnection},
};

class AbsentPort : public ComServer, public testing::WithParamInterface<AbsentPortCase> {};

TEST_P(AbsentPort, FailsAtOnceWithTheWindowsError) {
    const AbsentPortCase& c = GetParam();
    ComPtr<IRadioLink> link;
    ASSERT_EQ(S_OK, dll.CreateLink(*c.clsid, link));
    const ULONGLONG start = GetTickCount64();
    const HRESULT hr = link->Open(c.port, c.option);
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(FACILITY_WIN32, HRESULT_FACILITY(hr)) << std::hex << hr;
    // "At once": far below the time of one exchange (generous for a loaded machine).
    EXPECT_LT(elapsed, 1000u);
    EXPECT_EQ(S_FALSE, link->Close()) << "the link stays closed";
}

INSTANTIATE_TEST_SUITE_P(Table, AbsentPort, testing::ValuesIn(kAbsentPorts),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
