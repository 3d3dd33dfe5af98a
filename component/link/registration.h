// Registry entries that let CoGetClassObject find this DLL for both link classes:
//   CLSID\{class id}                  (default) = friendly name
//   CLSID\{class id}\InprocServer32   (default) = full path of the DLL
//                                     ThreadingModel = Apartment
// under HKEY_CLASSES_ROOT for all users, or under HKEY_CURRENT_USER\Software\Classes for the
// current user only (no administrator rights needed).
#pragma once

#include <windows.h>

namespace radiolink {

// The longest DLL path registered, in characters with the terminating zero.
constexpr DWORD kMaxDllPath = 1024;

enum class RegistrationScope { AllUsers, CurrentUser };

// DllInstall's command line: empty for all users, "user" (any case) for the current user.
// False for anything else.
bool ScopeFromInstallArgument(const wchar_t* argument, RegistrationScope& scope);

// Writes the entries of both classes for dllPath. When one cannot be written, what was
// written is removed again and the error returned.
HRESULT RegisterLinkClasses(RegistrationScope scope, const wchar_t* dllPath);

// Removes exactly what RegisterLinkClasses adds, and only where InprocServer32 names dllPath:
// a class registered to another DLL is left alone. The class key itself goes only when
// nothing but our friendly name is left in it. Nothing to remove is success.
HRESULT UnregisterLinkClasses(RegistrationScope scope, const wchar_t* dllPath);

} // namespace radiolink
