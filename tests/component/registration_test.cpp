// Self-registration: after DllRegisterServer or DllInstall(TRUE, "user") CoGetClassObject
// finds both classes in this DLL; after unregistration it finds neither, and the registry
// holds exactly what it held before. The test saves the class keys of the prefix it runs in
// and puts them back at the end.
#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "radiolink_dll.h"
#include "registry_tree.h"

namespace {

// The friendly names registration writes (docs/component.md).
const wchar_t kPacketLinkName[] = L"Hushwell radio link: PacketLink";
const wchar_t kCommandLinkName[] = L"Hushwell radio link: CommandLink";

struct LinkClass {
    const CLSID* clsid;
    const wchar_t* friendlyName;
};
const LinkClass kClasses[] = {{&CLSID_PacketLink, kPacketLinkName},
                              {&CLSID_CommandLink, kCommandLinkName}};

std::wstring ClassKeyPath(REFCLSID clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    return std::wstring(L"Software\\Classes\\CLSID\\") + text;
}

// Where each kind of registration lands: HKEY_CLASSES_ROOT writes go to the machine's
// classes, DllInstall "user" to the current user's.
struct Place {
    HKEY root;
    const char* name;
};
const Place kMachine{HKEY_LOCAL_MACHINE, "HKLM"};
const Place kUser{HKEY_CURRENT_USER, "HKCU"};

// Windows merges HKEY_CURRENT_USER\Software\Classes into HKEY_CLASSES_ROOT, so COM finds
// per-user registrations; Wine 8 maps HKEY_CLASSES_ROOT to the machine's classes only. A probe
// key tells which of the two this system does.
bool UserClassesReachCom() {
    const std::wstring probe = L"Software\\Classes\\HushwellUserClassesProbe";
    SavedRegistryKey saved(HKEY_CURRENT_USER, probe);
    RegistryTree empty;
    if (!WriteRegistryTree(HKEY_CURRENT_USER, probe, empty)) {
        return false;
    }
    return RegistryKeyExists(HKEY_CLASSES_ROOT, L"HushwellUserClassesProbe");
}

class Registration : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(apartment.Result()));
        ASSERT_TRUE(dll.Loaded()) << dll.LoadError();
        for (const Place& place : {kMachine, kUser}) {
            for (const LinkClass& c : kClasses) {
                saved.push_back(
                    std::make_unique<SavedRegistryKey>(place.root, ClassKeyPath(*c.clsid)));
                DeleteRegistryTree(place.root, ClassKeyPath(*c.clsid));
            }
        }
    }

    HRESULT ClassObjectResult(REFCLSID clsid) {
        ComPtr<IClassFactory> factory;
        return CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                factory.PutVoid());
    }

    RegistryTree ExpectedClassKey(const LinkClass& c) {
        RegistryTree server;
        server.values[L""] = StringValue(dll.Path());
        server.values[L"ThreadingModel"] = StringValue(L"Apartment");
        RegistryTree key;
        key.values[L""] = StringValue(c.friendlyName);
        key.subkeys[L"InprocServer32"] = server;
        return key;
    }

    void ExpectNoClassKeys() {
        for (const Place& place : {kMachine, kUser}) {
            for (const LinkClass& c : kClasses) {
                EXPECT_FALSE(RegistryKeyExists(place.root, ClassKeyPath(*c.clsid))) << place.name;
            }
        }
    }

    ComApartment apartment;
    RadioLinkDll dll;
    // Restored in reverse order of saving, after the apartment and the DLL are gone.
    std::vector<std::unique_ptr<SavedRegistryKey>> saved;
};

struct RegistrationCase {
    const char* name;
    HRESULT (*doRegister)(const RadioLinkDll&);
    HRESULT (*doUnregister)(const RadioLinkDll&);
    const Place* place;
    const Place* otherPlace;
};

const RegistrationCase kCases[] = {
    {"register_server", [](const RadioLinkDll& d) { return d.RegisterServer(); },
     [](const RadioLinkDll& d) { return d.UnregisterServer(); }, &kMachine, &kUser},
    {"install_for_all_users", [](const RadioLinkDll& d) { return d.Install(TRUE, L""); },
     [](const RadioLinkDll& d) { return d.Install(FALSE, L""); }, &kMachine, &kUser},
    {"install_for_user", [](const RadioLinkDll& d) { return d.Install(TRUE, L"user"); },
     [](const RadioLinkDll& d) { return d.Install(FALSE, L"user"); }, &kUser, &kMachine},
    {"install_for_user_any_case", [](const RadioLinkDll& d) { return d.Install(TRUE, L"User"); },
     [](const RadioLinkDll& d) { return d.Install(FALSE, L"USER"); }, &kUser, &kMachine},
};

class RegistrationScopes : public Registration,
                           public testing::WithParamInterface<RegistrationCase> {};

TEST_P(RegistrationScopes, MakeBothClassesFindableAndRemoveExactlyWhatTheyAdded) {
    const RegistrationCase& c = GetParam();
    for (const LinkClass& link : kClasses) {
        ASSERT_EQ(REGDB_E_CLASSNOTREG, ClassObjectResult(*link.clsid)) << "not clean at start";
    }

    ASSERT_EQ(S_OK, c.doRegister(dll));
    for (const LinkClass& link : kClasses) {
        RegistryTree written;
        ASSERT_TRUE(ReadRegistryTree(c.place->root, ClassKeyPath(*link.clsid), written))
            << c.place->name;
        EXPECT_TRUE(written == ExpectedClassKey(link)) << "exactly the documented entries";
        EXPECT_FALSE(RegistryKeyExists(c.otherPlace->root, ClassKeyPath(*link.clsid)));
    }
    if (c.place == &kUser && !UserClassesReachCom()) {
        std::cout << "[ NOTE     ] per-user classes do not reach COM on this system (Wine); "
                     "only the registry entries are checked\n";
    } else {
        for (const LinkClass& link : kClasses) {
            EXPECT_EQ(S_OK, ClassObjectResult(*link.clsid));
        }
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, CoGetClassObject(CLSID_PacketLink, CLSCTX_INPROC_SERVER, nullptr,
                                         IID_IClassFactory, factory.PutVoid()));
        ComPtr<IPacketTransfer> transfer;
        EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPacketTransfer, transfer.PutVoid()));
    }

    ASSERT_EQ(S_OK, c.doUnregister(dll));
    ExpectNoClassKeys();
    for (const LinkClass& link : kClasses) {
        EXPECT_EQ(REGDB_E_CLASSNOTREG, ClassObjectResult(*link.clsid));
    }
    EXPECT_EQ(S_OK, c.doUnregister(dll)) << "nothing left to remove is success";
}

INSTANTIATE_TEST_SUITE_P(Table, RegistrationScopes, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Registration, LeavesAnotherComponentsRegistrationAlone) {
    RegistryTree vendor;
    vendor.values[L""] = StringValue(L"Radio vendor link");
    vendor.subkeys[L"InprocServer32"].values[L""] = StringValue(L"C:\\Vendor\\vendorlink.dll");
    vendor.subkeys[L"InprocServer32"].values[L"ThreadingModel"] = StringValue(L"Both");
    ASSERT_TRUE(WriteRegistryTree(HKEY_LOCAL_MACHINE, ClassKeyPath(CLSID_PacketLink), vendor));

    EXPECT_EQ(S_OK, dll.UnregisterServer());

    RegistryTree after;
    ASSERT_TRUE(ReadRegistryTree(HKEY_LOCAL_MACHINE, ClassKeyPath(CLSID_PacketLink), after));
    EXPECT_TRUE(after == vendor);
}

TEST_F(Registration, KeepsAClassKeyThatHoldsMoreThanItsOwnEntries) {
    ASSERT_EQ(S_OK, dll.RegisterServer());
    const std::wstring path = ClassKeyPath(CLSID_CommandLink);
    RegistryTree progId;
    progId.values[L""] = StringValue(L"Someone.Else.1");
    ASSERT_TRUE(WriteRegistryTree(HKEY_LOCAL_MACHINE, path + L"\\ProgID", progId));

    ASSERT_EQ(S_OK, dll.UnregisterServer());

    RegistryTree after;
    ASSERT_TRUE(ReadRegistryTree(HKEY_LOCAL_MACHINE, path, after));
    RegistryTree expected;
    expected.values[L""] = StringValue(kCommandLinkName);
    expected.subkeys[L"ProgID"] = progId;
    EXPECT_TRUE(after == expected) << "InprocServer32 goes, the rest stays";
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, ClassKeyPath(CLSID_PacketLink)));
}

TEST_F(Registration, RefusesAnUnknownInstallArgument) {
    EXPECT_EQ(E_INVALIDARG, dll.Install(TRUE, L"everyone"));
    EXPECT_EQ(E_INVALIDARG, dll.Install(FALSE, L"/user"));
    ExpectNoClassKeys();
}

} // namespace
