// Where the icon goes while the main dialog is minimized.
#pragma once

#include <windows.h>

// Centred in the client area, in signed arithmetic: (width - cxIcon + 1) / 2 truncates toward
// zero, so a client narrower than the icon gives a small negative offset (-5, not -6, for a
// width of 20 and a 32-pixel icon).
inline POINT CentredIconOrigin(const RECT& client, int cxIcon, int cyIcon) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    return POINT{(width - cxIcon + 1) / 2, (height - cyIcon + 1) / 2};
}
