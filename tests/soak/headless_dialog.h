// The main dialog's state and services without a window: the soak and the resource test run
// the program's read and write on it. The entry always holds `entry` and passes validation.
#pragma once

#include "radio/squelch_dialog.h"

class HeadlessDialog : public SquelchDialog {
public:
    UINT& SquelchValue() override { return value; }
    BOOL& ValueRead() override { return valueRead; }
    RadioImage& Image() override { return image; }
    BOOL TakeValue() override {
        value = entry;
        return TRUE;
    }
    void ShowValue() override {
        shownValue = value;
        ++shown;
    }
    void OpenValueRange() override { rangeOpened = true; }

    UINT value = 0;
    BOOL valueRead = FALSE;
    RadioImage image{};
    UINT entry = 0;
    UINT shownValue = 0;
    unsigned shown = 0;
    bool rangeOpened = false;
};
