// hushwell.exe worked from another process as a person works it, step by step; every window it
// pops up is read and closed with OK. Every wait ends after 20 s, with the reason. The
// radiolink.dll beside it is run the same way through rundll32 for its settings. HOLDER_DLL (the
// x86_64 radiolink.dll) is what this process opens a port with, as another program would.
#pragma once

#include <windows.h>

#include <cstdio>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "contract/link_contract.h"

// GetWindowText does not reach the windows of another process; WM_GETTEXT does.
inline std::string TextOf(HWND window) {
    char text[1024] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 1000, &length);
    return text;
}

class Program {
public:
    // rundll32: the program that runs radiolink.dll's entry points, environment strings expanded
    // (%windir%\SysWOW64\rundll32.exe for an i686 DLL on 64-bit Windows).
    Program(std::string exe, const std::string& rundll32) : m_exe(std::move(exe)) {
        char expanded[MAX_PATH] = {};
        const DWORD size = ExpandEnvironmentStringsA(rundll32.c_str(), expanded, MAX_PATH);
        m_rundll32 = size > 0 && size <= MAX_PATH ? expanded : rundll32;
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() {
        End();
        if (m_held) {
            m_held->Release(); // closes the port
        }
        FreeLibrary(m_holder);
    }

    // Runs one step (start, click read|write|reset|default, sysmenu ID, type TEXT, entry, close,
    // wait-exit, mark FILE, await FILE, rundll32 ENTRY ARGUMENTS, open-port, find-radio
    // PORT,PORT... enter|escape|cancel|stay, hold PORT, run COMMAND LINE); `text` gets the entry's
    // text, the exit code or what the port dialog shows.
    bool Do(const std::string& verb, const std::string& arg, std::string& text,
            std::string& error) {
        const char* buttons[] = {"read", "write", "reset", "default"};
        const UINT ids[] = {1001, 1002, 1003, 1020, 0};
        const HWND entry = GetDlgItem(m_main, 1005);
        DWORD_PTR result = 0;
        if (verb == "start") {
            return Start(error);
        } else if (verb == "click") {
            return Press(WM_COMMAND, ids[std::find(buttons, buttons + 4, arg) - buttons], error);
        } else if (verb == "sysmenu") {
            return Press(WM_SYSCOMMAND, std::stoul(arg, nullptr, 0), error);
        } else if (verb == "type") {
            return SendMessageTimeoutA(entry, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg.c_str()),
                                       SMTO_NORMAL, kTimeoutMs, &result);
        } else if (verb == "entry") {
            text = TextOf(entry);
            return true;
        } else if (verb == "close" || verb == "wait-exit") { // one more close of an ended one: none
            PostMessageA(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
            return Ended(text, error);
        } else if (verb == "mark") {
            return std::ofstream(arg).put('\n').good();
        } else if (verb == "await") {
            return Await([&] { return std::ifstream(arg).good(); }, "no file " + arg, error);
        } else if (verb == "rundll32") { // until it ends, answering its message boxes
            return Launch(m_rundll32 + " " + Dll() + "," + arg, error) &&
                   Await([] { return false; }, "rundll32 still runs", error);
        } else if (verb == "open-port") {
            return OpenPortDialog(text, error);
        } else if (verb == "find-radio") {
            return FindRadio("," + arg.substr(0, arg.find(' ')) + ",",
                             arg.substr(arg.find(' ') + 1), text, error);
        } else if (verb == "hold") {
            return Hold(arg, error);
        } else if (verb == "run") { // any program, until it ends, answering its message boxes
            return Launch(arg, error) && Ended(text, error);
        }
        error = "unknown step " + verb;
        return false;
    }

    ULONGLONG idleSinceMs = 0;

    // The popups answered since the last call, each "caption: first text", joined by " | ".
    std::string TakePopups() {
        AnswerPopups();
        return std::exchange(m_popups, {});
    }

private:
    static constexpr DWORD kTimeoutMs = 20000;

    // Starts a process in place of the last one, which has ended (or failed a step).
    bool Launch(std::string commandLine, std::string& error) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info)) {
            error = "cannot start " + commandLine + ": error " + std::to_string(GetLastError());
            return false;
        }
        CloseHandle(info.hThread);
        End();
        m_process = info.hProcess;
        m_processId = info.dwProcessId;
        m_main = nullptr;
        return true;
    }

    // A file beside hushwell.exe.
    std::string Beside(const char* name) const {
        return m_exe.substr(0, m_exe.find_last_of("/\\") + 1) + name;
    }
    std::string Dll() const { return Beside("radiolink.dll"); }

    // Waits until the process ends, answering its popups; `text` gets its exit code.
    bool Ended(std::string& text, std::string& error) {
        DWORD code = 0;
        const bool ended = Await([] { return false; }, "the program still runs", error) &&
                           GetExitCodeProcess(m_process, &code);
        text = std::to_string(code);
        return ended;
    }

    // Starts a program and waits for its dialog of that caption, the one not answered as a popup.
    bool Open(const std::string& commandLine, const std::string& caption, std::string& error) {
        if (!Launch(commandLine, error)) {
            return false;
        }
        m_caption = caption;
        const auto found = [&] {
            for (HWND dialog : Dialogs()) {
                m_main = TextOf(dialog) == caption ? dialog : m_main;
            }
            return m_main != nullptr;
        };
        if (Await(found, "no main dialog \"" + caption + "\"", error) && !m_main) {
            error = "the program ended before its main dialog opened";
        }
        return m_main != nullptr;
    }

    bool Start(std::string& error) {
        return Open('"' + m_exe + '"', "Hushwell", error) && WaitIdle(error);
    }

    // The port dialog of hushwell-port.exe: `text` gets the list's first and selected items; the
    // list must have the focus.
    bool OpenPortDialog(std::string& text, std::string& error) {
        if (!Open('"' + Beside("hushwell-port.exe") + '"', "Hushwell: radio port", error)) {
            return false;
        }
        const HWND list = m_list = FindWindowExA(m_main, nullptr, "ListBox", nullptr);
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        if (!list || !GetGUIThreadInfo(GetWindowThreadProcessId(list, nullptr), &gui) ||
            gui.hwndFocus != list) {
            error = "the port list does not have the focus";
            return false;
        }
        int selected = -1;
        const std::vector<std::string> items = Items(list, selected);
        if (selected < 0 || selected >= static_cast<int>(items.size())) {
            error = "no selected item among " + std::to_string(items.size());
            return false;
        }
        text = "first " + items.front() + ", selected " + items[selected];
        return true;
    }

    // The entries of a list box of the program, and the selected one's index.
    std::vector<std::string> Items(HWND list, int& selected) const {
        // W: Wine hands a Unicode list's text to another process's LB_GETTEXTA unconverted.
        const auto ask = [list](UINT message, WPARAM w, LPARAM l) {
            DWORD_PTR result = LB_ERR;
            SendMessageTimeoutW(list, message, w, l, SMTO_ABORTIFHUNG, 1000, &result);
            return static_cast<int>(result);
        };
        std::vector<std::string> items;
        for (int i = 0, count = ask(LB_GETCOUNT, 0, 0); i < count; ++i) {
            wchar_t item[512] = {};
            char narrow[512] = {};
            if (ask(LB_GETTEXTLEN, i, 0) < 512) {
                ask(LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
                WideCharToMultiByte(CP_ACP, 0, item, -1, narrow, sizeof narrow, nullptr, nullptr);
            }
            items.push_back(narrow);
            std::replace(items.back().begin(), items.back().end(), '\n', ' '); // an entry's lines
        }
        selected = ask(LB_GETCURSEL, 0, 0);
        return items;
    }

    // In the open port dialog, Find radio pressed: `text` gets the entries of `ports`
    // (",COM1,COM3,"), the selected one in brackets, what the dialog says and whether the search
    // took under 2 s with the dialog answering all the while; then `key` (enter, escape) is
    // pressed, or with stay nothing (the dialog stays open for the next step). cancel: Escape as
    // soon as an entry says a radio answered while the button still reads "Searching..."; `text`
    // says so and whether the dialog closed within 1 s.
    bool FindRadio(const std::string& ports, const std::string& key, std::string& text,
                   std::string& error) {
        const HWND list = m_list;
        m_list = nullptr;
        if (!list) {
            error = "no open port dialog";
            return false;
        }
        const HWND button = GetDlgItem(m_main, 1002);
        const ULONGLONG started = GetTickCount64();
        PostMessageA(m_main, WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        bool searching = false, answering = true;
        int selected = -1;
        std::vector<std::string> items;
        const auto over = [&] {
            DWORD_PTR result = 0;
            answering &=
                !!SendMessageTimeoutA(m_main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result);
            const std::string label = TextOf(button);
            searching = searching || label == "Searching...";
            items = Items(list, selected);
            const bool radio = std::any_of(items.begin(), items.end(), [](const std::string& item) {
                return item.find(" - a radio answered") != std::string::npos;
            });
            return searching &&
                   (key == "cancel" ? radio && label == "Searching..." : label == "Find radio");
        };
        if (!Await(over, "the search did not end", error)) {
            return false;
        }
        const ULONGLONG took = GetTickCount64() - started;
        for (size_t i = 0; i < items.size() && key != "cancel"; ++i) {
            const bool chosen = static_cast<int>(i) == selected;
            if (ports.find("," + items[i].substr(0, items[i].find(' ')) + ",") !=
                std::string::npos) {
                text += (chosen ? "[" : "") + items[i] + (chosen ? "] | " : " | ");
            }
        }
        text += key == "cancel"
                    ? "a radio answered while searching"
                    : TextOf(GetDlgItem(m_main, 1003)) +
                          (took < 2000 ? " | in under 2 s" : " | took " + std::to_string(took));
        text += answering ? "" : " | the dialog stopped answering";
        if (key == "stay") {
            m_list = list;
            return true;
        }
        PostMessageA(list, WM_KEYDOWN, key == "enter" ? VK_RETURN : VK_ESCAPE, 0);
        const ULONGLONG pressed = GetTickCount64();
        Await([&] { return !IsWindowVisible(m_main); }, "the dialog is still open", error);
        text += key != "cancel"                     ? ""
                : GetTickCount64() - pressed < 1000 ? ", closed at once"
                                                    : ", closed late";
        return Await([] { return false; }, "the port dialog still runs", error);
    }

    // Opens `port` with a CommandLink of HOLDER_DLL and keeps it open until the case ends.
    bool Hold(const std::string& port, std::string& error) {
        using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        m_holder = LoadLibraryA("Z:" HOLDER_DLL);
        const auto get = reinterpret_cast<GetClassObject>(
            reinterpret_cast<void*>(GetProcAddress(m_holder, "DllGetClassObject")));
        IClassFactory* factory = nullptr;
        HRESULT hr =
            get ? get(CLSID_CommandLink, IID_IClassFactory, reinterpret_cast<void**>(&factory))
                : E_NOTIMPL;
        if (SUCCEEDED(hr)) {
            hr =
                factory->CreateInstance(nullptr, IID_IRadioLink, reinterpret_cast<void**>(&m_held));
            factory->Release();
        }
        hr = SUCCEEDED(hr) ? m_held->Open(port.c_str(), kCommandConnection) : hr;
        if (FAILED(hr)) {
            error = "cannot open " + port + " with " HOLDER_DLL ": " + std::to_string(hr);
        }
        return SUCCEEDED(hr);
    }

    // Sends WM_COMMAND (a button) or WM_SYSCOMMAND from a worker thread, so that the popups its
    // handler shows can be answered meanwhile; idleSinceMs is when the handler returned. Then
    // waits until idle, answering popups.
    bool Press(UINT message, UINT id, std::string& error) {
        const bool button = message == WM_COMMAND;
        Sent sent{m_main, message, button ? MAKEWPARAM(id, BN_CLICKED) : id,
                  button ? reinterpret_cast<LPARAM>(GetDlgItem(m_main, id)) : 0, 0};
        const HANDLE thread = CreateThread(nullptr, 0, SendFromThread, &sent, 0, nullptr);
        const bool returned = thread &&
                              Await([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; },
                                    "the handler had not returned", error) &&
                              WaitForSingleObject(thread, kTimeoutMs) == WAIT_OBJECT_0;
        if (thread) {
            CloseHandle(thread);
        }
        if (!returned) {
            error = error.empty() ? "cannot send the command" : error;
            return false;
        }
        const bool idle = WaitIdle(error);
        idleSinceMs = sent.returnedMs;
        return idle;
    }

    struct Sent {
        HWND to;
        UINT message;
        WPARAM w;
        LPARAM l;
        ULONGLONG returnedMs;
    };
    static DWORD WINAPI SendFromThread(void* data) {
        auto& sent = *static_cast<Sent*>(data);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(sent.to, sent.message, sent.w, sent.l, SMTO_NORMAL, kTimeoutMs,
                            &result);
        sent.returnedMs = GetTickCount64();
        return 0;
    }

    bool WaitIdle(std::string& error) {
        int quiet = 0;
        const auto idle = [&] {
            DWORD_PTR result = 0;
            Sleep(quiet ? 50 : 10);
            const bool answers =
                SendMessageTimeoutA(m_main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result);
            quiet = answers && Dialogs().size() == 1 ? quiet + 1 : 0;
            idleSinceMs = quiet == 1 ? GetTickCount64() : idleSinceMs;
            return quiet >= 3;
        };
        return Await(idle, "the program was still busy", error);
    }

    // Waits, answering popups, until done() or the program has ended.
    template <class Done>
    bool Await(Done done, const std::string& what, std::string& error) {
        for (const ULONGLONG until = GetTickCount64() + kTimeoutMs;
             !done() && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;) {
            AnswerPopups();
            if (GetTickCount64() > until) {
                error = what + " after 20 s";
                return false;
            }
            Sleep(20);
        }
        return true;
    }

    // The program's visible dialogs: its main dialog, message boxes, About and help.
    std::vector<HWND> Dialogs() const {
        std::vector<HWND> found;
        for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr));) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == m_processId && IsWindowVisible(window)) {
                found.push_back(window);
            }
        }
        return found;
    }

    void AnswerPopups() {
        for (HWND popup : Dialogs()) {
            // Until it is found, the main dialog may show up between two looks for it.
            if (popup == m_main || (!m_main && TextOf(popup) == m_caption) ||
                !m_answered.insert(popup).second) {
                continue;
            }
            // Read before it is answered: the handler that showed it waits on it until then.
            // Its first static text, an icon's (its resource id) aside, is what a person reads.
            std::string first;
            for (HWND text = nullptr;
                 first.empty() && (text = FindWindowExA(popup, text, "Static", nullptr));) {
                first =
                    (GetWindowLongA(text, GWL_STYLE) & SS_TYPEMASK) == SS_ICON ? "" : TextOf(text);
            }
            m_popups += (m_popups.empty() ? "" : " | ") + TextOf(popup) + ": " + first;
            PostMessageA(popup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }

    void End() {
        if (m_process) {
            TerminateProcess(m_process, 255); // still running only when a step failed
            CloseHandle(m_process);
            m_process = nullptr;
        }
    }

    std::string m_exe;
    std::string m_rundll32;
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    HWND m_main = nullptr;
    std::string m_caption;     // of the main dialog
    HWND m_list = nullptr;     // of an open port dialog
    std::set<HWND> m_answered; // window handles are not reused within a run
    std::string m_popups;
    HMODULE m_holder = nullptr;
    IRadioLink* m_held = nullptr; // the link that holds a port open
};
