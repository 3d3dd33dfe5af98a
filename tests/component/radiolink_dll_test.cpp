// The built radiolink.dll: as a COM server (its class objects and their rules, the interfaces of
// each class, the unload check, registration found after registering and gone after
// unregistering, with the registry left as found); and on a real serial port, where COM1 is the
// simulated radio's pseudo-terminal when tests/lib/with-radiosim runs the test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <tuple>

#include "tests/component/fake_line.h"
#include "tests/component/radiolink_dll.h"

namespace {

TEST(ComServer, ClassObjectsMakeEachClassWithItsInterfaces) {
    ComApartment apartment;
    RadioLinkDll dll;
    const std::tuple<const CLSID*, const IID*, HRESULT> cases[] = {
        {&CLSID_PacketLink, &IID_IRadioLink, S_OK},
        {&CLSID_PacketLink, &IID_IPacketTransfer, S_OK},
        {&CLSID_PacketLink, &IID_IClassFactory, Hr(0x80004002)}, // E_NOINTERFACE
        {&CLSID_CommandLink, &IID_IRadioLink, S_OK},
        {&CLSID_CommandLink, &IID_IPacketTransfer, Hr(0x80004002)},
    };
    ComPtr<IClassFactory> factory;
    for (const auto& [clsid, iid, result] : cases) {
        ComPtr<IUnknown> made;
        ASSERT_EQ(S_OK, dll.GetClassObject(*clsid, IID_IClassFactory, factory.PutVoid()));
        EXPECT_EQ(result, factory->CreateInstance(nullptr, *iid, made.PutVoid()));
        EXPECT_EQ(Hr(0x80040110), factory->CreateInstance(factory.Get(), *iid, made.PutVoid()));
        EXPECT_FALSE(made) << "CLASS_E_NOAGGREGATION, whatever the outer object";
    }
    // The DLL stays loaded while a class object or a lock lives.
    EXPECT_EQ(S_FALSE, dll.Call("DllCanUnloadNow"));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, dll.Call("DllCanUnloadNow"));
    ASSERT_EQ(S_OK, dll.GetClassObject(CLSID_PacketLink, IID_IClassFactory, factory.PutVoid()));
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_EQ(S_OK, dll.Call("DllCanUnloadNow"));
}

// Moves both link classes' keys from one place to another (RegCopyTree, then RegDeleteTree of
// the source); a key that is not there is not there afterwards either.
void MoveClassKeys(HKEY fromRoot, const wchar_t* from, HKEY toRoot, const wchar_t* to) {
    for (const CLSID* clsid : {&CLSID_PacketLink, &CLSID_CommandLink}) {
        wchar_t id[40] = L"";
        StringFromGUID2(*clsid, id, 40);
        const std::wstring source = from + std::wstring(id), target = to + std::wstring(id);
        HKEY created = nullptr;
        RegDeleteTreeW(toRoot, target.c_str());
        RegCreateKeyExW(toRoot, target.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                        nullptr);
        const std::unique_ptr<HKEY__, decltype(&RegCloseKey)> key(created, &RegCloseKey);
        const bool copied = RegCopyTreeW(fromRoot, source.c_str(), key.get()) == ERROR_SUCCESS;
        RegDeleteTreeW(copied ? fromRoot : toRoot, (copied ? source : target).c_str());
    }
}

HRESULT ClassObject(const CLSID& clsid) {
    ComPtr<IClassFactory> factory;
    return CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                            factory.PutVoid());
}

TEST(ComServer, RegistrationIsFoundAfterRegisteringAndGoneAfterUnregistering) {
    ComApartment apartment;
    RadioLinkDll dll;
    // The keys the test finds are set aside, and put back when it ends.
    MoveClassKeys(HKEY_CLASSES_ROOT, L"CLSID\\", HKEY_CURRENT_USER, L"Software\\Hushwell test ");
    struct PutBack {
        ~PutBack() {
            MoveClassKeys(HKEY_CURRENT_USER, L"Software\\Hushwell test ", HKEY_CLASSES_ROOT,
                          L"CLSID\\");
        }
    } putBack;
    ASSERT_EQ(S_OK, dll.Call("DllRegisterServer"));
    EXPECT_EQ(S_OK, ClassObject(CLSID_PacketLink));
    EXPECT_EQ(S_OK, ClassObject(CLSID_CommandLink));
    ASSERT_EQ(S_OK, dll.Call("DllUnregisterServer"));
    EXPECT_EQ(Hr(0x80040154), ClassObject(CLSID_PacketLink)) << "REGDB_E_CLASSNOTREG";
    EXPECT_EQ(Hr(0x80040154), ClassObject(CLSID_CommandLink));
    EXPECT_EQ(E_INVALIDARG, (dll.Call<BOOL, const wchar_t*>("DllInstall", TRUE, L"everyone")));
}

TEST(RadioLine, ReadsRefusesABusyOrAbsentPortAndReportsASilentRadioInTime) {
    const char* control = std::getenv("RADIOSIM_CONTROL_WIN");
    if (!control) {
        GTEST_SKIP() << "no simulated radio: run through tests/lib/with-radiosim";
    }
    ComApartment apartment;
    RadioLinkDll dll;
    ComPtr<IPacketTransfer> transfer;
    ComPtr<IRadioLink> packet, command;
    for (auto [clsid, link] :
         {std::pair(&CLSID_PacketLink, &packet), {&CLSID_CommandLink, &command}}) {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, dll.GetClassObject(*clsid, IID_IClassFactory, factory.PutVoid()));
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IRadioLink, link->PutVoid()));
    }
    ASSERT_EQ(S_OK, packet->QueryInterface(IID_IPacketTransfer, transfer.PutVoid()));
    Buffer enter("01 02 01 40 00"), payload("04"), reply;
    uint32_t address = 0x0120;
    // The built-in radio read, on a port opened again after Close.
    ASSERT_EQ(S_OK, command->Open("COM1", 0));
    ASSERT_EQ(S_OK, command->Send(&enter));
    ASSERT_EQ(S_OK, command->Close());
    ASSERT_EQ(S_OK, packet->Open("COM1", 4));
    ASSERT_EQ(S_OK, transfer->Request("REQ_RD_DATA", &payload, &address));
    ASSERT_EQ(S_OK, transfer->Reply(0, &reply, &address));
    EXPECT_EQ(Hex("26 27 28 29"), Bytes(reply.area, reply.area + reply.count));
    EXPECT_EQ(Hr(0x80070005), command->Open("COM1", 0)) << "access denied: in use";
    EXPECT_EQ(S_OK, packet->Close());
    EXPECT_EQ(Hr(0x80070002), packet->Open("COM8", 4)) << "file not found";
    EXPECT_EQ(S_FALSE, packet->Close()) << "still closed";
    const std::unique_ptr<void, decltype(&CloseHandle)> fifo(
        CreateFileA(control, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), &CloseHandle);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(fifo.get(), "silent on\n", 10, &written, nullptr));
    ASSERT_EQ(S_OK, command->Open("COM1", 0));
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(Hr(0x80040210), command->Send(&enter)) << "no answer";
    const ULONGLONG elapsed = GetTickCount64() - start;
    std::cout << "[ MEASURED ] a command to a silent radio failed after " << elapsed << " ms\n";
    EXPECT_LT(elapsed, 2000u + 1500u) << "the 2 s bound, with room for Wine's scheduling";
}

} // namespace
