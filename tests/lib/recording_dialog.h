// A stand-in for the main dialog: the state the read and the write work on, the dialog services
// they call, and every message box, all recorded in one log in the order they happened. Boxes go
// through the framework's message-box function and are never shown, so no desktop is needed.
#pragma once

#include "framework/message_box.h"
#include "radio/squelch_dialog.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

class RecordingDialog : public SquelchDialog {
public:
    RecordingDialog() : m_previous(SetMessageBoxFunction(RecordBox)) { s_current = this; }
    ~RecordingDialog() override {
        SetMessageBoxFunction(m_previous);
        s_current = nullptr;
    }
    RecordingDialog(const RecordingDialog&) = delete;
    RecordingDialog& operator=(const RecordingDialog&) = delete;

    UINT& SquelchValue() override { return value; }
    BOOL& ValueRead() override { return valueRead; }
    RadioImage& Image() override { return image; }
    // The entry passes validation when `entry` holds a value; otherwise the data exchange has
    // refused it (and shown its own message, which is not this stand-in's to show).
    BOOL TakeValue() override {
        Note("TakeValue");
        if (entry) {
            value = *entry;
        }
        return entry.has_value();
    }
    void ShowValue() override { Note("ShowValue " + std::to_string(value)); }
    void OpenValueRange() override { Note("OpenValueRange"); }

    void Note(std::string entry) { log.push_back(std::move(entry)); }
    // The texts of the boxes shown so far, in order.
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const std::string& entry : log) {
            if (entry.rfind("Box ", 0) == 0) {
                texts.push_back(entry.substr(4));
            }
        }
        return texts;
    }

    UINT value = 0;
    BOOL valueRead = FALSE;
    RadioImage image{};
    std::optional<UINT> entry;
    std::vector<std::string> log; // "TakeValue", "ShowValue 10", "OpenValueRange", "Box <text>"

private:
    static int RecordBox(HWND, const char* text, const char*, UINT) {
        s_current->Note(std::string("Box ") + text);
        return IDOK;
    }

    MessageBoxFunction m_previous;
    inline static RecordingDialog* s_current = nullptr;
};
