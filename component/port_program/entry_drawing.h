// The port list's entries, drawn by the dialog: an entry may take several lines (an adapter with
// no working port says what it is, what stops it and what to do), which a plain list box cannot
// show. The list is LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, so it keeps each entry's text for
// LB_GETTEXT, screen readers and typing to select; each entry is as high as its text, wrapped at
// the list's width, with a line under it.
#pragma once

#include <windows.h>

namespace radiolink {

// WM_MEASUREITEM for an entry of `list`, whose text `measure.itemData` points to.
void MeasureEntry(HWND list, MEASUREITEMSTRUCT& measure);

// WM_DRAWITEM for an entry.
void DrawEntry(const DRAWITEMSTRUCT& draw);

} // namespace radiolink
