// Drives the program as a person would and reports what it saw, one JSON line per step.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/driver/json_line.h"
#include "tests/e2e/driver/popups.h"
#include "tests/e2e/driver/steps.h"
#include "tests/e2e/driver/target_process.h"

class Driver {
public:
    Driver(FILE* out, std::string mainCaption, DWORD stepTimeoutMs);

    // Starts the program and waits for its main dialog; reports the popups shown on the way.
    bool Start(const std::wstring& exePath);
    // Runs one step and reports it; false (reported) when the step failed.
    bool Run(const Step& step, int index);
    // Ends the program if it still runs and reports whether it had to.
    void Finish();

private:
    bool Click(const std::string& which, JsonLine& line, std::string& error);
    bool SystemCommand(const std::string& which, JsonLine& line, std::string& error);
    bool Type(const std::string& text, JsonLine& line, std::string& error);
    bool Entry(JsonLine& line, std::string& error);
    bool Focus(JsonLine& line, std::string& error);
    bool FocusEntry(std::string& error);
    bool Key(const std::string& which, JsonLine& line, std::string& error);
    bool WaitExit(JsonLine& line, std::string& error);
    bool AwaitFile(const std::string& path, std::string& error);
    bool Mark(const std::string& path, std::string& error);
    void Pause(DWORD ms);

    // Sends the message to the main dialog from a second thread, answering popups on this one
    // until the program has handled it.
    bool SendAndAnswer(UINT message, WPARAM wParam, LPARAM lParam, std::string& error);
    // Waits until the dialog answers again with no popup up, several times in a row.
    bool WaitUntilIdle(DWORD timeoutMs, std::string& error);
    bool Gone() const;
    void AnswerPopups();
    HWND Control(int id) const;

    FILE* m_out;
    std::string m_mainCaption;
    DWORD m_timeoutMs;
    TargetProcess m_target;
    HWND m_main = nullptr;
    PopupWatcher m_popups{0, ""};
    std::vector<Popup> m_stepPopups;
    unsigned m_markers = 0;
};

// Numbers as scripts write them: decimal, or hexadecimal with 0x.
bool ParseNumber(const std::string& text, unsigned long& value);
