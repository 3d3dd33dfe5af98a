#include "component/port_program/port_dialog.h"

#include <memory>
#include <new>

#include "component/port_program/entry_drawing.h"
#include "component/port_program/find_radio.h"
#include "component/port_program/port_choices.h"
#include "component/port_program/port_resource.h"
#include "component/settings/settings_commands.h"

namespace radiolink {

namespace {

// Hushwell's icon, for the title bar and the taskbar.
void TakeProgramIcon(HWND dialog) {
    if (const HICON icon =
            LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PORT_PROGRAM))) {
        SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

// What the window procedure works on: the entries, and the search of the Find radio button.
struct PortDialog {
    const PortChoices& choices;
    FindRadio find;
};

INT_PTR Init(HWND dialog, PortDialog& state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    TakeProgramIcon(dialog);
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
    if (status == ERROR_NOT_READY) { // an adapter with no working port: its entry says why
        SetDlgItemTextW(dialog, IDC_FIND_STATUS,
                        L"Nothing stored: this adapter has no working port (its entry says what "
                        L"to do). Choose a port that works, or press Cancel.");
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
    if (message == WM_MEASUREITEM && wParam == IDC_PORT_LIST) {
        MeasureEntry(GetDlgItem(dialog, IDC_PORT_LIST),
                     *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    }
    if (message == WM_DRAWITEM && wParam == IDC_PORT_LIST) {
        DrawEntry(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
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

DWORD RunPortDialog(HINSTANCE module, HWND owner) {
    // About 100 KiB of entries, 30 KiB of devices and the search's outcomes: on the heap, not on
    // the stack. The devices are needed only to make the entries.
    const std::unique_ptr<PortChoices> choices(new (std::nothrow) PortChoices);
    {
        const std::unique_ptr<SerialDevices> devices(new (std::nothrow) SerialDevices);
        if (!choices || !devices) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        CollectSerialDevices(*devices);
        ListPortChoices(*devices, *choices);
    }
    const std::unique_ptr<PortDialog> state(new (std::nothrow)
                                                PortDialog{*choices, FindRadio(*choices)});
    if (!state) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    // 0: the owner is no window; -1: the dialog could not be made.
    const INT_PTR ended = DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_CHOOSE_PORT), owner,
                                          PortDialogProc, reinterpret_cast<LPARAM>(state.get()));
    const DWORD error = GetLastError();
    state->find.Stop(); // every port the search opened is closed before the dialog returns
    if (ended <= 0) {
        return error != ERROR_SUCCESS ? error : ERROR_INVALID_WINDOW_HANDLE;
    }
    return ERROR_SUCCESS;
}

DWORD ShowPortDialog(HINSTANCE module, HWND owner) {
    const DWORD error = RunPortDialog(module, owner);
    if (error != ERROR_SUCCESS) {
        Message message;
        wsprintfA(message, "The port dialog could not be opened (error %lu).", error);
        MessageBoxA(owner, message, kMessageCaption, MB_ICONWARNING);
    }
    return error;
}

} // namespace radiolink
