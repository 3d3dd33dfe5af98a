// The modal windows the program puts up over its main dialog (message boxes, the About box,
// the help dialog), seen as a person sees them: each is recorded once, in the order it appeared,
// and answered with OK.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

struct Popup {
    std::string caption;
    // The texts of its static controls in template order: a message box's text, or every line
    // of the About box and the help dialog. Icons carry no text and are left out.
    std::vector<std::string> texts;
};

std::string PopupsJson(const std::vector<Popup>& popups);

class PopupWatcher {
public:
    // Windows captioned `mainCaption` are the main dialog, never a popup, even before the driver
    // has found it.
    PopupWatcher(DWORD processId, std::string mainCaption)
        : m_processId(processId), m_mainCaption(std::move(mainCaption)) {}
    void SetMainWindow(HWND mainWindow) { m_main = mainWindow; }

    // Records every visible popup of the process not seen before and presses its OK button
    // (IDOK posted, so the driver never waits on the program's modal loop). Returns the new ones.
    std::vector<Popup> AnswerNew();
    // A popup of the process is on the screen (answered or not, it has not gone yet).
    bool AnyVisible() const;

private:
    std::vector<HWND> VisiblePopups() const;

    DWORD m_processId;
    std::string m_mainCaption;
    HWND m_main = nullptr;
    std::set<HWND> m_answered; // answered and possibly still closing
};
