// What the squelch read and write need of the main dialog: its state and the services that
// take, show and range the value. The main dialog implements it; tests fake it.
#pragma once

#include <windows.h>

#include "radio/radio_layout.h"

namespace radio {

class SquelchDialog {
public:
    virtual ~SquelchDialog() = default;

    virtual UINT& SquelchValue() = 0; // the displayed value
    virtual BOOL& ValueRead() = 0;    // true only after a complete read; gates the write
    virtual RadioImage& Image() = 0;  // the program's copy of the radio blocks

    virtual BOOL TakeValue() = 0;      // UpdateData(TRUE): take and validate the entry
    virtual void ShowValue() = 0;      // UpdateData(FALSE): show the value in the entry
    virtual void OpenValueRange() = 0; // let the up-down control move within 0 to 15
};

} // namespace radio
