// Runs the real main dialog modally on a UI thread of its own, with its own COM apartment and a
// fake radio link component, while the test's thread plays the operator: it presses buttons,
// types, reads the entry and sees every message box.
#pragma once

#include "dialog/hushwell_dlg.h"
#include "tests/lib/message_boxes.h"
#include "tests/radio/call_log.h"
#include "tests/radio/fake_radio_link.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class DialogSession {
public:
    // setUp runs on the UI thread once the fake component is registered.
    explicit DialogSession(std::function<void(FakeRadio&)> setUp = {});
    ~DialogSession();
    DialogSession(const DialogSession&) = delete;
    DialogSession& operator=(const DialogSession&) = delete;

    HWND Dialog() const { return m_hwnd; }
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    // Between operations only: the UI thread is idle then.
    CHushwellDlg& Dlg() { return *m_dialog; }
    FakeRadio& Radio() { return *m_radio; }

    // Presses a button and returns once its handler has returned; boxes it showed are logged.
    void Press(int id);
    void SysCommand(UINT id);
    void Type(const std::string& text);
    std::string EntryText() const;
    std::pair<int, int> SpinRange() const; // (lower, upper)
    HWND Focus() const;

    // Everything in order: component calls and "MessageBox: text" entries.
    std::vector<std::string> Calls() const { return m_log.Entries(); }
    void ClearCalls() { m_log.Clear(); }
    std::vector<SeenMessageBox> Boxes() const { return m_boxes->Boxes(); }

    // Ends the dialog as the close box would and returns DoModal's result.
    INT_PTR Close();
    // Waits for the dialog to end by itself; nullopt when it is still open after timeoutMs.
    std::optional<INT_PTR> WaitForEnd(DWORD timeoutMs);

private:
    void RunUiThread(std::function<void(FakeRadio&)> setUp);

    CallLog m_log;
    std::unique_ptr<MessageBoxWatcher> m_boxes;
    std::optional<FakeRadio> m_radio;
    std::unique_ptr<CHushwellDlg> m_dialog;
    HWND m_hwnd = nullptr;
    HANDLE m_ready = nullptr;
    HANDLE m_ended = nullptr;
    INT_PTR m_result = -2;
    std::thread m_ui;
};

// A top-level dialog of this process with the caption, or null (waits up to timeoutMs).
HWND WaitForDialog(const char* caption, DWORD timeoutMs = 5000);
std::string WindowText(HWND hwnd);
