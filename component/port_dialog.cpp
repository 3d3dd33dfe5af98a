#include "component/port_dialog.h"

#include "component/find_radio.h"
#include "component/port_choices.h"
#include "component/radiolink_resource.h"
#include "component/settings_commands.h"

namespace radiolink {

namespace {

// What the window procedure works on: the entries, and the search of the Find radio button.
struct PortDialog {
    const PortChoices& choices;
    FindRadio find;
};

INT_PTR Init(HWND dialog, PortDialog& state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    const PortChoices& choices = state.choices;
    const HWND list = GetDlgItem(dialog, IDC_PORT_LIST);
    for (size_t i = 0; i < choices.count; ++i) {
        const LPARAM text = reinterpret_cast<LPARAM>(choices.at[i].text);
        if (SendMessageW(list, LB_ADDSTRING, 0, text) < 0) {
            break; // out of memory: nothing after it, so that item i stays choice i
        }
    }
    SendMessageW(list, LB_SETCURSEL, choices.selected, 0);
    SetFocus(list);
    return FALSE; // the focus is set
}

// OK: stores the selected entry and closes; if it cannot be stored, says so and stays open (Cancel
// leaves everything as it was).
void Accept(HWND dialog, const PortChoices& choices) {
    const LRESULT item = SendDlgItemMessageW(dialog, IDC_PORT_LIST, LB_GETCURSEL, 0, 0);
    const size_t index = item == LB_ERR ? choices.selected : static_cast<size_t>(item);
    const LSTATUS status = StorePortChoice(choices, index);
    if (status == ERROR_SUCCESS) {
        EndDialog(dialog, IDOK);
        return;
    }
    Message message;
    NotStoredMessage(status, message);
    MessageBoxA(dialog, message, kMessageCaption, MB_ICONWARNING);
}

INT_PTR CALLBACK PortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return Init(dialog, *reinterpret_cast<PortDialog*>(lParam));
    }
    auto* state = reinterpret_cast<PortDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_TIMER && state) {
        state->find.Tick(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND || !state) {
        return FALSE;
    }
    const WORD id = LOWORD(wParam);
    if (id == IDOK || (id == IDC_PORT_LIST && HIWORD(wParam) == LBN_DBLCLK)) {
        Accept(dialog, state->choices);
        return TRUE;
    }
    if (id == IDC_FIND_RADIO && HIWORD(wParam) == BN_CLICKED) {
        state->find.Start(dialog);
        return TRUE;
    }
    if (id == IDCANCEL) { // the Cancel button, Escape and the close box
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

} // namespace

void ShowPortDialog(HINSTANCE module, HWND owner) {
    DeviceNames names;
    CollectDeviceNames(names);
    PortChoices choices;
    ListPortChoices(names, choices);
    PortDialog state{choices, FindRadio(choices)};
    DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_CHOOSE_PORT), owner, PortDialogProc,
                    reinterpret_cast<LPARAM>(&state));
    state.find.Stop(); // every port the search opened is closed before the dialog returns
}

} // namespace radiolink
