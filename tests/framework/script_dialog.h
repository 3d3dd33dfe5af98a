// Runs a test script in a real dialog once it shows, inside the dialog's modal loop as a handler
// would run, and records every message box instead of showing it.
#pragma once

#include "framework/afxwin.h"

#include <functional>
#include <string>
#include <vector>

struct SeenBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
inline std::vector<SeenBox> g_boxes;

template <class Dialog>
class Scripted : public Dialog {
public:
    explicit Scripted(std::function<void(Scripted&)> script) : m_script(std::move(script)) {
        SetMessageBoxFunction([](HWND owner, const char* text, const char* caption, UINT type) {
            g_boxes.push_back({owner, text, caption, type});
            return IDOK;
        });
    }
    BOOL OnInitDialog() override {
        const BOOL focus = Dialog::OnInitDialog();
        SetTimer(this->m_hWnd, 1, 0, Run);
        return focus;
    }
    HWND Item(int id) const { return ::GetDlgItem(this->m_hWnd, id); }

private:
    // Timer messages come last: a dialog the script leaves open ends with -2 once nothing else
    // is queued.
    static void CALLBACK Run(HWND hwnd, UINT, UINT_PTR id, DWORD) {
        KillTimer(hwnd, id);
        if (id == 2) {
            ::EndDialog(hwnd, -2);
            return;
        }
        auto* self = static_cast<Scripted*>(CWnd::FromHandle(hwnd));
        self->m_script(*self);
        SetTimer(hwnd, 2, 0, Run);
    }

    std::function<void(Scripted&)> m_script;
};
