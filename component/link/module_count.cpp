#include "component/link/module_count.h"

namespace radiolink {

namespace {

LONG g_objects = 0;
LONG g_locks = 0;

} // namespace

namespace module_count {

void AddObject() {
    InterlockedIncrement(&g_objects);
}
void RemoveObject() {
    InterlockedDecrement(&g_objects);
}
void Lock() {
    InterlockedIncrement(&g_locks);
}
void Unlock() {
    InterlockedDecrement(&g_locks);
}
bool CanUnload() {
    return InterlockedCompareExchange(&g_objects, 0, 0) == 0 &&
           InterlockedCompareExchange(&g_locks, 0, 0) == 0;
}

} // namespace module_count

} // namespace radiolink
