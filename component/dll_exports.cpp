// The DLL's entry points: the class objects, the unload check, self-registration
// (regsvr32 radiolink.dll for all users; regsvr32 /n /i:user radiolink.dll for the current
// user only) and the user's settings (rundll32 radiolink.dll,PortMap COM1=COM7 and
// rundll32 radiolink.dll,LinkLog on; settings/settings_commands.h). Exported by name through
// radiolink.def. The port dialog is hushwell-port.exe's alone: a program that opens a link
// loads this DLL, and has no use for a dialog, its list or Find radio.
#include <windows.h>
#include <objbase.h>

#include <type_traits>

#include "component/link/class_factory.h"
#include "component/link/module_count.h"
#include "component/link/registration.h"
#include "component/settings/settings_commands.h"

using namespace radiolink;

namespace {

HMODULE g_module = nullptr;

// The full path of this DLL, as InprocServer32 must name it.
HRESULT OwnPath(wchar_t (&path)[kMaxDllPath]) {
    const DWORD length = GetModuleFileNameW(g_module, path, kMaxDllPath);
    if (length == 0) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return length < kMaxDllPath ? S_OK : HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
}

HRESULT Register(RegistrationScope scope) {
    wchar_t path[kMaxDllPath];
    const HRESULT hr = OwnPath(path);
    return FAILED(hr) ? hr : RegisterLinkClasses(scope, path);
}

HRESULT Unregister(RegistrationScope scope) {
    wchar_t path[kMaxDllPath];
    const HRESULT hr = OwnPath(path);
    return FAILED(hr) ? hr : UnregisterLinkClasses(scope, path);
}

// rundll32 has no console: the outcome of a settings command is always shown.
void Show(HWND window, bool done, const Message& message) {
    MessageBoxA(window, message, kMessageCaption, done ? MB_ICONINFORMATION : MB_ICONWARNING);
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return GetLinkClassObject(clsid, iid, object);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return module_count::CanUnload() ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
    return Register(RegistrationScope::AllUsers);
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return Unregister(RegistrationScope::AllUsers);
}

HRESULT STDAPICALLTYPE DllInstall(BOOL install, const wchar_t* commandLine) {
    RegistrationScope scope;
    if (!ScopeFromInstallArgument(commandLine, scope)) {
        return E_INVALIDARG;
    }
    return install ? Register(scope) : Unregister(scope);
}

// rundll32's entry point signature.
void CALLBACK PortMap(HWND window, HINSTANCE, LPSTR commandLine, int) {
    Message message;
    Show(window, PortMapCommand(commandLine, message), message);
}

void CALLBACK LinkLog(HWND window, HINSTANCE, LPSTR commandLine, int) {
    Message message;
    Show(window, LinkLogCommand(commandLine, message), message);
}

} // extern "C"

// Windows and rundll32 call these by name with the calling convention of their declaration
// (stdcall on i686, where a mismatch corrupts the caller's stack): the i686 build refuses any
// entry point whose type drifts. On x86_64 there is one convention, and these hold trivially.
using RundllEntry = void(CALLBACK*)(HWND, HINSTANCE, LPSTR, int);
static_assert(std::is_same_v<decltype(&PortMap), RundllEntry>, "PortMap is not CALLBACK");
static_assert(std::is_same_v<decltype(&LinkLog), RundllEntry>, "LinkLog is not CALLBACK");
static_assert(std::is_same_v<decltype(&DllGetClassObject), LPFNGETCLASSOBJECT>);
static_assert(std::is_same_v<decltype(&DllCanUnloadNow), LPFNCANUNLOADNOW>);
static_assert(std::is_same_v<decltype(&DllRegisterServer), HRESULT(STDAPICALLTYPE*)()>);
static_assert(std::is_same_v<decltype(&DllUnregisterServer), HRESULT(STDAPICALLTYPE*)()>);
static_assert(std::is_same_v<decltype(&DllInstall), HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR)>);
