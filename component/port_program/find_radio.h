// The port dialog's "Find radio" button (port_dialog.h). It probes every port the dialog lists,
// COM1 itself included, all at once (port_search.h), but never a Bluetooth link (opening one makes
// Windows connect to the paired device) or an adapter with no working port; shows each port's
// result on its entry as it comes in; when the search is over, selects the first entry where a
// radio answered and says in the dialog what was found, or, where none answered, which adapters
// have no working port and what to check. While it searches, the button reads "Searching..." and
// is disabled. It stores nothing: OK does.
#pragma once

#include <windows.h>

#include "component/port_program/port_choices.h"
#include "component/port_program/port_search.h"

namespace radiolink {

// Characters of an entry with its result, and of the dialog's summary, with the terminating zero.
constexpr size_t kMaxFoundText = kMaxChoiceText + 64;
constexpr size_t kMaxSummary = 640;

// "COM5 - a radio answered", "COM6 - in use by another program", "COM1 (no mapping) - could not
// be opened: the port is not there".
void EntryWithFinding(const wchar_t* entry, const ProbeOutcome& outcome,
                      wchar_t (&text)[kMaxFoundText]);

// The first of `count` entries where a radio answered, the one the dialog selects; kNoRadio if
// none.
constexpr size_t kNoRadio = static_cast<size_t>(-1);
size_t FirstRadio(size_t count, const ProbeOutcome* outcomes);

// What the dialog says when the search is over, from each entry's outcome: where none answered,
// first the adapters with no working port ("No working port: Prolific adapter on COM7 (code
// 10)..."), then the ports asked and what to check.
void SearchSummary(const PortChoices& choices, const ProbeOutcome* outcomes,
                   wchar_t (&text)[kMaxSummary]);

class FindRadio {
public:
    explicit FindRadio(const PortChoices& choices, PortOpener& opener = SerialPortOpener())
        : m_choices(choices), m_search(opener) {}

    // The button was pressed: starts the search and the dialog's timer.
    void Start(HWND dialog);
    // The timer: shows the outcomes that came in, and ends the search when it is over.
    void Tick(HWND dialog);
    // The dialog is closing: ends the search and waits for its ports to be closed.
    void Stop() { m_search.Stop(); }

private:
    void Show(HWND dialog, size_t entry, const wchar_t* text);
    void Finish(HWND dialog);

    const PortChoices& m_choices;
    PortSearch m_search;
    ProbeOutcome m_outcomes[kMaxPortChoices];
    bool m_known[kMaxPortChoices] = {};
    bool m_searching = false;
};

} // namespace radiolink
