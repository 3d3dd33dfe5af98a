// MessageBoxWatcher: sees every message box the test program shows, as a person would, and
// closes it with OK.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

// One message box as it appeared on the screen.
struct SeenMessageBox {
    std::string caption;
    std::string text;
    HWND owner;   // the window the box belonged to (null: none)
    bool hasIcon; // an icon was shown beside the text
};

// While the object lives, a background thread looks for the message boxes of this process (a
// "#32770" dialog titled with AfxGetAppName(), the executable's name, with its text in the static
// control 0xFFFF), records each one in order, and presses its OK button once. A handler on the
// test's thread can then show boxes as in the program and the test reads what was shown: when a
// handler that showed boxes has returned, every box it showed has been recorded.
class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    // onBox runs on the watcher's thread for each box, while the box is still up and its caller
    // still waits: a test can place the box exactly among the calls it records.
    explicit MessageBoxWatcher(std::function<void(const SeenMessageBox&)> onBox);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<SeenMessageBox> Boxes() const;
    std::vector<std::string> Texts() const;
    std::vector<std::string> Captions() const;
    // Forgets what has been seen so far.
    void Clear();

    // Waits, handling the calling thread's messages meanwhile, until `count` boxes have been seen
    // in all; FALSE when timeoutMs passed first.
    bool WaitForBoxes(size_t count, DWORD timeoutMs = 10000) const;

private:
    void Watch();
    void CloseNewBoxes();

    mutable std::mutex m_lock;
    mutable std::condition_variable m_seen;
    std::function<void(const SeenMessageBox&)> m_onBox; // set before the thread starts
    std::vector<SeenMessageBox> m_boxes;
    std::unordered_set<HWND> m_pressed; // boxes already answered that may still be on screen
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
