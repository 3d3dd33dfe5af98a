// What keeps the DLL loaded: live objects (links and class factories) and LockServer locks.
// DllCanUnloadNow answers S_OK only when both counts are zero.
#pragma once

#include <windows.h>

namespace radiolink {

namespace module_count {

void AddObject();
void RemoveObject();
void Lock();
void Unlock();
bool CanUnload();

} // namespace module_count

// Counts its owner as a live object for as long as the owner exists.
class LiveObject {
public:
    LiveObject() { module_count::AddObject(); }
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;
    ~LiveObject() { module_count::RemoveObject(); }
};

} // namespace radiolink
