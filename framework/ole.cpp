#include "framework/ole.h"

#include <ole2.h>

namespace {

thread_local bool t_oleStarted = false;

} // namespace

BOOL AfxOleInit() {
    if (t_oleStarted) {
        return TRUE;
    }
    if (FAILED(OleInitialize(nullptr))) {
        return FALSE;
    }
    t_oleStarted = true;
    return TRUE;
}

void AfxOleTerm() {
    if (t_oleStarted) {
        t_oleStarted = false;
        OleUninitialize();
    }
}

void AfxEnableControlContainer() {}
