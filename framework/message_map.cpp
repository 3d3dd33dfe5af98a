#include "framework/message_map.h"

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    return nullptr; // the root: no handlers
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->base()) {
        for (const AFX_MSGMAP_ENTRY* entry = map->entries; entry->message != 0; ++entry) {
            if (entry->message != message) {
                continue;
            }
            if (message != WM_COMMAND || (entry->code == code && entry->id == id)) {
                return entry;
            }
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code) {
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_COMMAND, code, id);
    if (!entry) {
        return FALSE;
    }
    entry->handler(this, MAKEWPARAM(id, code), 0);
    return TRUE;
}
