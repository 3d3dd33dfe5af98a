// What the radio tests share: a COM apartment, one call log, a fake main dialog, the recorded
// one-second wait, and every message box read and closed as a person would.
#pragma once

#include "radio/squelch_dialog.h"
#include "tests/lib/message_boxes.h"
#include "tests/radio/call_log.h"
#include "tests/radio/fake_radio_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

class FakeDialog : public SquelchDialog {
public:
    explicit FakeDialog(CallLog& log) : m_log(&log) {}

    UINT& SquelchValue() override { return value; }
    BOOL& ValueRead() override { return valueRead; }
    RadioImage& Image() override { return image; }
    BOOL TakeValue() override {
        m_log->Add("TakeValue");
        if (!entry) {
            return FALSE;
        }
        value = *entry;
        return TRUE;
    }
    void ShowValue() override { m_log->Add("ShowValue " + std::to_string(value)); }
    void OpenValueRange() override {
        m_log->Add("OpenValueRange");
        rangeOpened = true;
    }

    UINT value = 0;
    BOOL valueRead = FALSE;
    RadioImage image{};
    std::optional<UINT> entry; // what the operator typed, when it passes validation
    bool rangeOpened = false;

private:
    CallLog* m_log;
};

class RadioTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Registers the fake component; call once per test, after setting the config.
    FakeRadio& Radio(FakeRadioConfig config = {});
    std::vector<std::string> Calls() const { return m_log.Entries(); }

    static void RecordWait(DWORD milliseconds);

    CallLog m_log;
    FakeDialog m_dialog{m_log};
    std::optional<FakeRadio> m_radio;

private:
    std::optional<MessageBoxWatcher> m_boxes;
    static CallLog* s_waitLog;
};

// The calls one command makes when everything succeeds.
std::vector<std::string> CommandCalls(const std::string& fiveBytes);
// One 32-byte read at address.
std::vector<std::string> ReadCalls(uint32_t address);
std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts);
std::string Box(const std::string& text);
