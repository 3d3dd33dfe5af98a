// A stand-in for the main dialog: the state the read and the write work on, and one log of the
// dialog services they call and of every message box ("Box <text>"), in the order they happened.
// Boxes go through the framework's message-box function and are never shown: no desktop needed.
#pragma once

#include "framework/message_box.h"
#include "radio/squelch_dialog.h"

#include <optional>
#include <string>
#include <vector>

using namespace radio; // the test reads as the program's own code

class RecordingDialog : public SquelchDialog {
public:
    RecordingDialog() : m_previous(SetMessageBoxFunction(RecordBox)) { s_current = this; }
    ~RecordingDialog() override { SetMessageBoxFunction(m_previous); }
    RecordingDialog(const RecordingDialog&) = delete;
    RecordingDialog& operator=(const RecordingDialog&) = delete;

    UINT& SquelchValue() override { return value; }
    BOOL& ValueRead() override { return valueRead; }
    RadioImage& Image() override { return image; }
    // Refused, as the data exchange refuses an entry after showing its message, unless `entry`
    // holds the value the operator typed.
    BOOL TakeValue() override {
        Note("TakeValue");
        value = entry.value_or(value);
        return entry.has_value();
    }
    void ShowValue() override { Note("ShowValue " + std::to_string(value)); }
    void OpenValueRange() override { Note("OpenValueRange"); }
    void Note(std::string entry) { log.push_back(std::move(entry)); }
    // The texts of the boxes shown so far, in order.
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const std::string& line : log) {
            if (line.rfind("Box ", 0) == 0) {
                texts.push_back(line.substr(4));
            }
        }
        return texts;
    }

    UINT value = 0;
    BOOL valueRead = FALSE;
    RadioImage image{};
    std::optional<UINT> entry;
    std::vector<std::string> log;

private:
    static int RecordBox(HWND, const char* text, const char*, UINT) {
        s_current->Note(std::string("Box ") + text);
        return IDOK;
    }

    MessageBoxFunction m_previous;
    inline static RecordingDialog* s_current = nullptr;
};
