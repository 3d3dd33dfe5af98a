#include "component/port_program/find_radio.h"

#include "component/port_program/port_resource.h"
#include "component/port_program/wide_text.h"

namespace radiolink {

namespace {

constexpr UINT_PTR kFindTimer = 1;
constexpr UINT kFindTimerMs = 50;
// Ports a summary names; it counts the rest.
constexpr size_t kNamedPorts = 8;

// The port an entry's probe asks: COM1 itself for "COM1 (no mapping)".
const char* PortOf(const PortChoice& choice) {
    return choice.port[0] ? choice.port : kAskedPort;
}

// Why a port could not be opened, as Windows words it; an absent port in a technician's words.
void AddReason(WideText& text, HRESULT error) {
    if (error == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
        error == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)) {
        text.Add(L"the port is not there");
        return;
    }
    wchar_t reason[160];
    const DWORD code = HRESULT_FACILITY(error) == FACILITY_WIN32 ? HRESULT_CODE(error) : error;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reason, ARRAYSIZE(reason), nullptr);
    while (length > 0 && (reason[length - 1] == L'\r' || reason[length - 1] == L'\n' ||
                          reason[length - 1] == L' ' || reason[length - 1] == L'.')) {
        reason[--length] = L'\0';
    }
    if (length == 0) {
        wsprintfW(reason, L"error 0x%08lX", error);
    }
    text.Add(reason);
}

// "COM5", "COM5 and COM7", "COM1, COM3 or COM4": the ports of the entries that `pick` takes.
template <class Pick>
void AddPorts(WideText& text, const PortChoices& choices, Pick pick, const wchar_t* lastJoin) {
    size_t total = 0;
    for (size_t i = 0; i < choices.count; ++i) {
        total += pick(i) ? 1 : 0;
    }
    size_t named = 0;
    const size_t naming = total > kNamedPorts ? kNamedPorts : total;
    for (size_t i = 0; i < choices.count && named < naming; ++i) {
        if (pick(i)) {
            ++named;
            text.Add(named == 1       ? L""
                     : named == total ? lastJoin
                                      : L", ")
                .AddPort(PortOf(choices.at[i]));
        }
    }
    if (total > naming) {
        wchar_t more[40];
        wsprintfW(more, L"%s%u other ports", lastJoin, static_cast<unsigned>(total - naming));
        text.Add(more);
    }
}

} // namespace

void EntryWithFinding(const wchar_t* entry, const ProbeOutcome& outcome,
                      wchar_t (&text)[kMaxFoundText]) {
    WideText found(text);
    found.Add(entry);
    if (outcome.finding != Finding::NotAsked) {
        found.Add(L" - ");
    }
    switch (outcome.finding) {
    case Finding::NotAsked:
        break;
    case Finding::Radio:
        found.Add(L"a radio answered");
        break;
    case Finding::NoAnswer:
        found.Add(L"no answer");
        break;
    case Finding::InUse:
        found.Add(L"in use by another program");
        break;
    case Finding::NotOpened:
        AddReason(found.Add(L"could not be opened: "), outcome.error);
        break;
    }
}

size_t FirstRadio(size_t count, const ProbeOutcome* outcomes) {
    for (size_t i = 0; i < count; ++i) {
        if (outcomes[i].finding == Finding::Radio) {
            return i;
        }
    }
    return kNoRadio;
}

void SearchSummary(const PortChoices& choices, const ProbeOutcome* outcomes,
                   wchar_t (&text)[kMaxSummary]) {
    const auto radio = [outcomes](size_t i) { return outcomes[i].finding == Finding::Radio; };
    const auto asked = [outcomes](size_t i) { return outcomes[i].finding != Finding::NotAsked; };
    const size_t first = FirstRadio(choices.count, outcomes);
    size_t radios = 0, stopped = 0;
    for (size_t i = 0; i < choices.count; ++i) {
        radios += radio(i) ? 1 : 0;
        stopped += choices.at[i].kind == ChoiceKind::Stopped ? 1 : 0;
    }
    WideText summary(text);
    if (radios == 0 && stopped > 0) {
        summary.Add(L"No working port: ");
        for (size_t i = 0, named = 0; i < choices.count; ++i) {
            const PortChoice& adapter = choices.at[i];
            if (adapter.kind == ChoiceKind::Stopped) {
                wchar_t code[40];
                wsprintfW(code, L" (code %lu)", adapter.problem);
                summary.Add(named++ ? L", " : L"").Add(adapter.adapter);
                (*adapter.port ? summary.Add(L" on ").AddPort(adapter.port) : summary).Add(code);
            }
        }
        summary.Add(L"; see their entries. ");
    }
    if (radios == 0) {
        summary.Add(L"No radio answered on ");
        AddPorts(summary, choices, asked, L" or ");
        summary.Add(L". Check that the radio is switched on and its cable is plugged in, then "
                    L"press Find radio again.");
    } else if (radios == 1) {
        summary.Add(L"A radio answered on ").AddPort(PortOf(choices.at[first]));
        summary.Add(L". Press OK to use it.");
    } else {
        summary.Add(L"Radios answered on ");
        AddPorts(summary, choices, radio, L" and ");
        summary.Add(L". ")
            .AddPort(PortOf(choices.at[first]))
            .Add(L" is selected: press OK to use it.");
    }
}

void FindRadio::Start(HWND dialog) {
    const char* ports[kMaxPortChoices];
    size_t asking = 0;
    for (size_t i = 0; i < m_choices.count; ++i) {
        // A Bluetooth link and an adapter with no working port are never opened.
        const bool ask = m_choices.at[i].kind == ChoiceKind::Port;
        ports[i] = ask ? PortOf(m_choices.at[i]) : nullptr;
        asking += ask ? 1 : 0;
        m_known[i] = false;
        Show(dialog, i, m_choices.at[i].text); // a search before may have marked it
    }
    const HWND button = GetDlgItem(dialog, IDC_FIND_RADIO);
    if (GetFocus() == button) { // it is disabled below; the arrows should still choose
        SendMessageW(dialog, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_PORT_LIST)), TRUE);
    }
    if (!m_search.Start(ports, m_choices.count)) {
        SetDlgItemTextW(dialog, IDC_FIND_STATUS, L"Find radio could not start: out of memory.");
        return;
    }
    m_searching = true;
    EnableWindow(button, FALSE);
    SetWindowTextW(button, L"Searching...");
    wchar_t status[80];
    wsprintfW(status, L"Looking for a radio on %u port%s...", static_cast<unsigned>(asking),
              asking == 1 ? L"" : L"s");
    SetDlgItemTextW(dialog, IDC_FIND_STATUS, status);
    SetTimer(dialog, kFindTimer, kFindTimerMs, nullptr);
}

void FindRadio::Tick(HWND dialog) {
    if (!m_searching) {
        return;
    }
    const bool over = !m_search.Running(); // before the outcomes: none finished unseen
    for (size_t i = 0; i < m_choices.count; ++i) {
        if (!m_known[i] && m_search.Outcome(i, m_outcomes[i])) {
            m_known[i] = true;
            if (m_outcomes[i].finding != Finding::NotAsked) {
                wchar_t text[kMaxFoundText];
                EntryWithFinding(m_choices.at[i].text, m_outcomes[i], text);
                Show(dialog, i, text);
            }
        }
    }
    if (over) {
        Finish(dialog);
    }
}

// Replaces entry i's text, keeping the selection.
void FindRadio::Show(HWND dialog, size_t entry, const wchar_t* text) {
    const HWND list = GetDlgItem(dialog, IDC_PORT_LIST);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    SendMessageW(list, LB_DELETESTRING, entry, 0);
    SendMessageW(list, LB_INSERTSTRING, entry, reinterpret_cast<LPARAM>(text));
    SendMessageW(list, LB_SETCURSEL, selected, 0);
}

void FindRadio::Finish(HWND dialog) {
    KillTimer(dialog, kFindTimer);
    m_search.Stop(0); // a probe still running is stuck in its driver: no waiting for it here
    m_searching = false;
    for (size_t i = 0; i < m_choices.count; ++i) {
        if (!m_known[i]) {
            m_outcomes[i] = ProbeOutcome{Finding::NoAnswer, S_OK};
            wchar_t text[kMaxFoundText];
            EntryWithFinding(m_choices.at[i].text, m_outcomes[i], text);
            Show(dialog, i, text);
        }
    }
    const size_t first = FirstRadio(m_choices.count, m_outcomes);
    if (first != kNoRadio) {
        SendDlgItemMessageW(dialog, IDC_PORT_LIST, LB_SETCURSEL, first, 0);
    }
    wchar_t summary[kMaxSummary];
    SearchSummary(m_choices, m_outcomes, summary);
    SetDlgItemTextW(dialog, IDC_FIND_STATUS, summary);
    const HWND button = GetDlgItem(dialog, IDC_FIND_RADIO);
    SetWindowTextW(button, L"Find radio");
    EnableWindow(button, TRUE);
}

} // namespace radiolink
