// A dialog that runs a test script once it is open, inside its own modal loop, as a handler of
// the program would run.
#pragma once

#include <functional>
#include <string>

#include "framework/afxwin.h"

// Command id the dialog posts to itself to start its script.
constexpr UINT ID_RUN_SCRIPT = 0x7F00;

class ScriptedDialog : public CDialog {
public:
    using Script = std::function<void(ScriptedDialog& dialog)>;

    explicit ScriptedDialog(UINT templateId, Script script = nullptr, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string ItemText(int id) const;
    void SetItemText(int id, const std::string& text) const;

    Script m_script;
    int m_initDialogCalls = 0;

protected:
    void RunScript();

    DECLARE_MESSAGE_MAP()
};

// A ScriptedDialog with a number bound to the edit box, optionally range-checked.
class ExchangeDialog : public ScriptedDialog {
public:
    using ScriptedDialog::ScriptedDialog;

    void DoDataExchange(CDataExchange* pDX) override;

    UINT m_value = 0;
    bool m_checkRange = false;
    UINT m_min = 0;
    UINT m_max = 15;
};

// Lets the dialog manager handle a key pressed in the focused control (Enter, Escape, Tab, F1).
void PressKey(UINT virtualKey);
