#include "tests/e2e/driver/driver.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <utility>

#include "tests/e2e/driver/window_text.h"

namespace {

// The main dialog's controls.
constexpr int kReadButton = 1001;
constexpr int kWriteButton = 1002;
constexpr int kResetButton = 1003;
constexpr int kEntry = 1005;
constexpr int kDefaultButton = 1020;

constexpr DWORD kPollMs = 10;
constexpr DWORD kIdleProbeMs = 100;
// A modal loop shows its window only once its queue is empty, a moment after it answers
// messages: the dialog counts as idle after this many quiet probes in a row.
constexpr int kQuietProbes = 3;
constexpr DWORD kQuietProbeGapMs = 60;
// The edit control's text limit, set through the queue after the keys: once it reads back,
// the keys before it have been taken. The program never looks at the limit.
constexpr unsigned kMarkerBase = 40000;

using Clock = std::chrono::steady_clock;

long long ElapsedMs(Clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

bool ButtonId(const std::string& name, int& id) {
    const std::pair<const char*, int> names[] = {{"read", kReadButton},
                                                 {"write", kWriteButton},
                                                 {"reset", kResetButton},
                                                 {"default", kDefaultButton}};
    for (const auto& entry : names) {
        if (name == entry.first) {
            id = entry.second;
            return true;
        }
    }
    unsigned long number = 0;
    if (!ParseNumber(name, number)) {
        return false;
    }
    id = static_cast<int>(number);
    return true;
}

bool VirtualKey(const std::string& name, UINT& key) {
    const std::pair<const char*, UINT> names[] = {
        {"return", VK_RETURN}, {"escape", VK_ESCAPE}, {"up", VK_UP}, {"down", VK_DOWN}};
    for (const auto& entry : names) {
        if (name == entry.first) {
            key = entry.second;
            return true;
        }
    }
    return false;
}

LPARAM KeyData(UINT key, bool up) {
    LPARAM data = 1 | (static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16);
    if (key == VK_UP || key == VK_DOWN) {
        data |= 1 << 24; // extended key
    }
    if (up) {
        data |= static_cast<LPARAM>(0xC0000000u);
    }
    return data;
}

// The outcome of a SendMessageTimeout made on the second thread.
struct SendOutcome {
    std::atomic<bool> done{false};
    LRESULT sent = 0;
    DWORD error = 0;
};

} // namespace

bool ParseNumber(const std::string& text, unsigned long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    value = std::strtoul(text.c_str(), &end, hex ? 16 : 10);
    return end && *end == '\0';
}

Driver::Driver(FILE* out, std::string mainCaption, DWORD stepTimeoutMs)
    : m_out(out), m_mainCaption(std::move(mainCaption)), m_timeoutMs(stepTimeoutMs) {}

HWND Driver::Control(int id) const {
    return GetDlgItem(m_main, id);
}

bool Driver::Gone() const {
    return !m_target.Running() || !IsWindow(m_main);
}

void Driver::AnswerPopups() {
    for (Popup& popup : m_popups.AnswerNew()) {
        m_stepPopups.push_back(std::move(popup));
    }
}

void Driver::Pause(DWORD ms) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until) {
        AnswerPopups();
        Sleep(kPollMs);
    }
}

bool Driver::Start(const std::wstring& exePath) {
    const auto started = Clock::now();
    JsonLine line;
    line.Text("do", "start");
    std::string error;
    bool ok = m_target.Start(exePath, error);
    if (ok) {
        m_popups = PopupWatcher(m_target.Id(), m_mainCaption);
        while (!(m_main = FindTopLevelDialog(m_target.Id(), m_mainCaption))) {
            AnswerPopups(); // anything shown before the main dialog opens
            if (!m_target.Running()) {
                error = "the program ended before its main dialog opened (exit code " +
                        std::to_string(m_target.ExitCode()) + ")";
                ok = false;
                break;
            }
            if (ElapsedMs(started) > m_timeoutMs) {
                error = "no dialog \"" + m_mainCaption + "\" within " +
                        std::to_string(m_timeoutMs) + " ms";
                ok = false;
                break;
            }
            Sleep(kPollMs);
        }
        m_popups.SetMainWindow(m_main);
    }
    if (ok && !WaitUntilIdle(m_timeoutMs, error)) {
        ok = false;
    }
    line.Bool("ok", ok);
    if (!ok) {
        line.Text("error", error);
    }
    line.Raw("popups", PopupsJson(m_stepPopups)).Number("ms", ElapsedMs(started));
    Emit(m_out, line);
    m_stepPopups.clear();
    return ok;
}

bool Driver::Run(const Step& step, int index) {
    const auto started = Clock::now();
    JsonLine line;
    line.Number("step", index).Text("do", step.verb);
    if (!step.argument.empty() || step.verb == "type") {
        line.Text("arg", step.argument);
    }
    std::string error;
    bool ok = false;
    if (step.verb == "click") {
        ok = Click(step.argument, line, error);
    } else if (step.verb == "sysmenu") {
        ok = SystemCommand(step.argument, line, error);
    } else if (step.verb == "type") {
        ok = Type(step.argument, line, error);
    } else if (step.verb == "entry") {
        ok = Entry(line, error);
    } else if (step.verb == "focus") {
        ok = Focus(line, error);
    } else if (step.verb == "focus-entry") {
        ok = FocusEntry(error);
    } else if (step.verb == "key") {
        ok = Key(step.argument, line, error);
    } else if (step.verb == "close") {
        ok = PostMessageW(m_main, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
        if (!ok) {
            error = "the main dialog is gone";
        }
    } else if (step.verb == "wait-exit") {
        ok = WaitExit(line, error);
    } else if (step.verb == "mark") {
        ok = Mark(step.argument, error);
    } else if (step.verb == "await") {
        ok = AwaitFile(step.argument, error);
    } else if (step.verb == "sleep") {
        unsigned long ms = 0;
        ok = ParseNumber(step.argument, ms);
        if (ok) {
            Pause(static_cast<DWORD>(ms));
        } else {
            error = "sleep needs milliseconds";
        }
    }
    line.Bool("ok", ok);
    if (!ok) {
        line.Text("error", error);
    }
    line.Raw("popups", PopupsJson(m_stepPopups))
        .Bool("running", m_target.Running())
        .Number("ms", ElapsedMs(started));
    Emit(m_out, line);
    m_stepPopups.clear();
    return ok;
}

void Driver::Finish() {
    JsonLine line;
    line.Text("do", "end");
    const bool leftRunning = m_target.Running();
    line.Bool("left_running", leftRunning);
    if (leftRunning) {
        // Closed as a person would, and ended by force only when that does not work.
        PostMessageW(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
        const auto started = Clock::now();
        while (m_target.Running() && ElapsedMs(started) < 5000) {
            AnswerPopups();
            Sleep(kPollMs);
        }
        line.Bool("terminated", m_target.Running());
        m_target.Terminate();
    }
    Emit(m_out, line);
}

bool Driver::SendAndAnswer(UINT message, WPARAM wParam, LPARAM lParam, std::string& error) {
    auto outcome = std::make_shared<SendOutcome>();
    const HWND target = m_main;
    const DWORD timeout = m_timeoutMs;
    std::thread sender([outcome, target, message, wParam, lParam, timeout] {
        DWORD_PTR result = 0;
        outcome->sent =
            SendMessageTimeoutW(target, message, wParam, lParam, SMTO_NORMAL, timeout, &result);
        outcome->error = GetLastError();
        outcome->done = true;
    });
    const auto started = Clock::now();
    while (!outcome->done) {
        AnswerPopups();
        if (ElapsedMs(started) > m_timeoutMs + 2000) {
            break;
        }
        Sleep(kPollMs);
    }
    if (!outcome->done) {
        sender.detach(); // stuck in the system; the process ends soon with the failure
        error =
            "the program did not take the message within " + std::to_string(m_timeoutMs) + " ms";
        return false;
    }
    sender.join();
    AnswerPopups();
    if (!outcome->sent && !Gone()) {
        error = "the program did not finish handling it within " + std::to_string(m_timeoutMs) +
                " ms (error " + std::to_string(outcome->error) + ")";
        return false;
    }
    return true;
}

bool Driver::WaitUntilIdle(DWORD timeoutMs, std::string& error) {
    const auto started = Clock::now();
    int quiet = 0;
    while (quiet < kQuietProbes) {
        AnswerPopups();
        if (Gone()) {
            return true;
        }
        DWORD_PTR result = 0;
        const bool answers = SendMessageTimeoutW(m_main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                                 kIdleProbeMs, &result) != 0;
        quiet = answers && !m_popups.AnyVisible() ? quiet + 1 : 0;
        if (ElapsedMs(started) > timeoutMs) {
            error = "the program was still busy after " + std::to_string(timeoutMs) + " ms";
            return false;
        }
        Sleep(kQuietProbeGapMs);
    }
    return true;
}

bool Driver::Click(const std::string& which, JsonLine&, std::string& error) {
    int id = 0;
    if (!ButtonId(which, id)) {
        error = "unknown button " + which;
        return false;
    }
    const HWND button = Control(id);
    if (!button) {
        error = "the main dialog has no control " + std::to_string(id);
        return false;
    }
    return SendAndAnswer(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button),
                         error);
}

bool Driver::SystemCommand(const std::string& which, JsonLine&, std::string& error) {
    unsigned long id = 0;
    if (!ParseNumber(which, id)) {
        error = "sysmenu needs a command id";
        return false;
    }
    return SendAndAnswer(WM_SYSCOMMAND, id, 0, error);
}

bool Driver::Type(const std::string& text, JsonLine&, std::string& error) {
    const std::wstring wide = Wide(text);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(Control(kEntry), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                             SMTO_NORMAL, m_timeoutMs, &result)) {
        error = "the entry did not take the text";
        return false;
    }
    return true;
}

bool Driver::Entry(JsonLine& line, std::string& error) {
    const HWND entry = Control(kEntry);
    if (!entry) {
        error = "the main dialog has no entry";
        return false;
    }
    line.Text("text", WindowTextOf(entry, m_timeoutMs));
    return true;
}

bool Driver::Focus(JsonLine& line, std::string& error) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(m_main, nullptr), &info)) {
        error = "cannot see the program's focus: error " + std::to_string(GetLastError());
        return false;
    }
    line.Number("focus", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
    // EM_GETSEL with no pointers answers with both ends packed into the result.
    DWORD_PTR selection = 0;
    if (!SendMessageTimeoutW(Control(kEntry), EM_GETSEL, 0, 0, SMTO_NORMAL, m_timeoutMs,
                             &selection)) {
        error = "the entry did not report its selection";
        return false;
    }
    line.Raw("selection", "[" + std::to_string(LOWORD(selection)) + "," +
                              std::to_string(HIWORD(selection)) + "]");
    return true;
}

bool Driver::FocusEntry(std::string& error) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(m_main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(kEntry)), TRUE,
                             SMTO_NORMAL, m_timeoutMs, &result)) {
        error = "the dialog did not take the focus change";
        return false;
    }
    return true;
}

bool Driver::Key(const std::string& which, JsonLine& line, std::string& error) {
    UINT key = 0;
    if (!VirtualKey(which, key)) {
        error = "unknown key " + which;
        return false;
    }
    if (!WaitUntilIdle(m_timeoutMs, error)) {
        return false;
    }
    const HWND entry = Control(kEntry);
    const unsigned marker = kMarkerBase + ++m_markers;
    // Posted like keyboard input, so that the dialog manager sees them in the message loop.
    PostMessageW(entry, WM_KEYDOWN, key, KeyData(key, false));
    PostMessageW(entry, WM_KEYUP, key, KeyData(key, true));
    PostMessageW(entry, EM_SETLIMITTEXT, marker, 0);

    const auto started = Clock::now();
    for (;;) {
        AnswerPopups();
        if (Gone()) {
            break;
        }
        DWORD_PTR limit = 0;
        if (SendMessageTimeoutW(entry, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, kIdleProbeMs,
                                &limit) &&
            limit == marker) {
            break;
        }
        if (ElapsedMs(started) > m_timeoutMs) {
            error = "the program was still busy with the key after " + std::to_string(m_timeoutMs) +
                    " ms";
            return false;
        }
        Sleep(kPollMs);
    }
    if (!WaitUntilIdle(m_timeoutMs, error)) {
        return false;
    }
    if (Gone()) {
        line.Bool("ended", true);
    }
    return true;
}

bool Driver::WaitExit(JsonLine& line, std::string& error) {
    const auto started = Clock::now();
    while (m_target.Running()) {
        AnswerPopups();
        if (ElapsedMs(started) > m_timeoutMs) {
            error = "the program still runs after " + std::to_string(m_timeoutMs) + " ms";
            return false;
        }
        Sleep(kPollMs);
    }
    line.Number("exit_code", m_target.ExitCode());
    return true;
}

bool Driver::Mark(const std::string& path, std::string& error) {
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot create " + path + ": error " + std::to_string(GetLastError());
        return false;
    }
    UniqueHandle closer(file);
    return true;
}

bool Driver::AwaitFile(const std::string& path, std::string& error) {
    const std::wstring wide = Wide(path);
    const auto started = Clock::now();
    while (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) {
        AnswerPopups();
        if (ElapsedMs(started) > m_timeoutMs) {
            error = "no file " + path + " within " + std::to_string(m_timeoutMs) + " ms";
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}
