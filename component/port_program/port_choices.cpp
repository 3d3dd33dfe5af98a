#include "component/port_program/port_choices.h"

#include "component/port_program/wide_text.h"

namespace radiolink {

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Port names are ASCII; CharUpper and lstrcmpi would follow the user's locale (a Turkish i).
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

size_t Digits(const char* at) {
    size_t count = 0;
    while (IsDigit(at[count])) {
        ++count;
    }
    return count;
}

// Name order without regard to case, numbers by their value: COM3 before COM12.
int ComparePorts(const char* a, const char* b) {
    for (; *a || *b; ++a, ++b) {
        if (IsDigit(*a) && IsDigit(*b) && Digits(a) != Digits(b)) {
            return Digits(a) < Digits(b) ? -1 : 1;
        }
        if (Upper(*a) != Upper(*b)) {
            return Upper(*a) < Upper(*b) ? -1 : 1;
        }
    }
    return 0;
}

// Windows names a port's device "USB-SERIAL CH340 (COM7)"; the list shows "COM7 (USB-SERIAL
// CH340)", the port first, so that the ports line up and read in order.
void AddDeviceName(WideText& text, const char* port, const wchar_t* name) {
    wchar_t suffix[kMaxChoiceText];
    WideText(suffix).Add(L" (").AddPort(port).Add(L")");
    const size_t length = lstrlenW(name), suffixLength = lstrlenW(suffix);
    const bool named =
        length > suffixLength &&
        CompareStringOrdinal(name + length - suffixLength, -1, suffix, -1, TRUE) == CSTR_EQUAL;
    text.Add(L" (").Add(name, named ? length - suffixLength : length).Add(L")");
}

size_t Find(const PortChoices& choices, const char* port) {
    for (size_t i = 0; i < choices.count; ++i) {
        if (ComparePorts(choices.at[i].port, port) == 0) {
            return i;
        }
    }
    return kNone;
}

const wchar_t* DeviceNameOf(const DeviceNames& names, const char* port) {
    for (size_t i = 0; i < names.count; ++i) {
        if (ComparePorts(names.at[i].port, port) == 0 && names.at[i].name[0]) {
            return names.at[i].name;
        }
    }
    return nullptr;
}

// Adds the entry of `port` (in capitals, as PortMap stores it) with its text.
void Add(PortChoices& choices, const char* port, const wchar_t* deviceName, bool present) {
    if (choices.count == kMaxPortChoices) {
        return; // ListPortChoices keeps the room it needs; never past the end
    }
    PortChoice& choice = choices.at[choices.count++];
    size_t i = 0;
    for (; port[i] && i < kMaxPortName; ++i) {
        choice.port[i] = Upper(port[i]);
    }
    choice.port[i] = '\0';
    WideText text(choice.text);
    text.AddPort(*port ? choice.port : kAskedPort);
    if (!*port) {
        text.Add(L" (no mapping)");
    } else if (!present) {
        text.Add(L" (not on this PC)");
    } else if (deviceName) {
        AddDeviceName(text, choice.port, deviceName);
    }
}

// Insertion sort of the ports after COM1 itself: a few dozen entries at most.
void SortPorts(PortChoices& choices) {
    for (size_t i = 2; i < choices.count; ++i) {
        const PortChoice moving = choices.at[i];
        size_t to = i;
        for (; to > 1 && ComparePorts(choices.at[to - 1].port, moving.port) > 0; --to) {
            choices.at[to] = choices.at[to - 1];
        }
        choices.at[to] = moving;
    }
}

} // namespace

void ListPortChoices(const DeviceNames& names, PortChoices& choices) {
    PortName mapped;
    const char* opens = MappedPort(kAskedPort, mapped); // as Open finds it
    const bool isMapped = ComparePorts(opens, kAskedPort) != 0;
    choices.count = 0;
    Add(choices, "", nullptr, true);
    const size_t room = kMaxPortChoices - (isMapped ? 1 : 0); // the mapped port's place
    PortName port;
    for (DWORD i = 0; SerialPortAt(i, port) && choices.count < room; ++i) {
        // COM1 is the first entry already, whatever its device.
        if (IsPortName(port) && ComparePorts(port, kAskedPort) != 0 &&
            Find(choices, port) == kNone) {
            Add(choices, port, DeviceNameOf(names, port), true);
        }
    }
    if (isMapped && Find(choices, opens) == kNone) {
        Add(choices, opens, nullptr, false);
    }
    SortPorts(choices);
    choices.selected = isMapped ? Find(choices, opens) : 0;
}

LSTATUS StorePortChoice(const PortChoices& choices, size_t index) {
    return index < choices.count ? SetPortMapping(kAskedPort, choices.at[index].port)
                                 : ERROR_INVALID_PARAMETER;
}

} // namespace radiolink
