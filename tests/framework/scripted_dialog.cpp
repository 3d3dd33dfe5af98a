#include "tests/framework/scripted_dialog.h"

#include "tests/framework/test_resources.h"

ScriptedDialog::ScriptedDialog(UINT templateId, Script script, CWnd* parent)
    : CDialog(templateId, parent), m_script(std::move(script)) {}

BOOL ScriptedDialog::OnInitDialog() {
    ++m_initDialogCalls;
    CDialog::OnInitDialog();
    PostMessage(WM_COMMAND, ID_RUN_SCRIPT, 0);
    return TRUE;
}

void ScriptedDialog::RunScript() {
    if (m_script) {
        Script script = std::move(m_script);
        m_script = nullptr;
        script(*this);
    }
}

std::string ScriptedDialog::ItemText(int id) const {
    char text[1024] = {};
    GetDlgItemTextA(m_hWnd, id, text, sizeof text);
    return text;
}

void ScriptedDialog::SetItemText(int id, const std::string& text) const {
    SetDlgItemTextA(m_hWnd, id, text.c_str());
}

BEGIN_MESSAGE_MAP(ScriptedDialog, CDialog)
ON_COMMAND(ID_RUN_SCRIPT, RunScript)
END_MESSAGE_MAP()

void ExchangeDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_VALUE, m_value);
    if (m_checkRange) {
        DDV_MinMaxUInt(pDX, m_value, m_min, m_max);
    }
}

void PressKey(UINT virtualKey) {
    const HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(focus, WM_KEYUP, virtualKey, 1u | 3u << 30);
}
