#include "component/port_program/port_choices.h"

#include "component/port_program/device_text.h"
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

size_t Find(const PortChoices& choices, const char* port) {
    for (size_t i = 0; i < choices.count; ++i) {
        if (ComparePorts(choices.at[i].port, port) == 0) {
            return i;
        }
    }
    return kNone;
}

// The device of `port`, or nullptr.
const SerialDevice* DeviceOf(const SerialDevices& devices, const char* port) {
    for (size_t i = 0; i < devices.count; ++i) {
        if (ComparePorts(devices.at[i].port, port) == 0) {
            return &devices.at[i];
        }
    }
    return nullptr;
}

// Adds an entry for `port` (in capitals, as PortMap stores it), empty text, of `kind`.
PortChoice* Add(PortChoices& choices, const char* port, ChoiceKind kind) {
    if (choices.count == kMaxPortChoices) {
        return nullptr; // ListPortChoices keeps the room it needs; never past the end
    }
    PortChoice& choice = choices.at[choices.count++];
    size_t i = 0;
    for (; port[i] && i < kMaxPortName; ++i) {
        choice.port[i] = Upper(port[i]);
    }
    choice.port[i] = '\0';
    choice.text[0] = choice.adapter[0] = L'\0';
    choice.kind = kind;
    choice.problem = 0;
    return &choice;
}

// "COM7 (USB-SERIAL CH340)": a port with its device's name where it has one, or with `note`
// ("COM1 (no mapping)"); "COM9 (Standard Serial over Bluetooth link) - Bluetooth link, not
// searched".
void AddPort(PortChoices& choices, const char* port, const SerialDevice* device,
             const wchar_t* note = L"") {
    const bool bluetooth = device && device->bluetooth;
    PortChoice* choice = Add(choices, port, bluetooth ? ChoiceKind::Bluetooth : ChoiceKind::Port);
    if (!choice) {
        return;
    }
    WideText text(choice->text);
    text.AddPort(*port ? choice->port : kAskedPort).Add(note);
    if (device && device->name[0]) {
        AddDeviceName(text.Add(L" ("), *device);
        text.Add(L")");
    }
    if (bluetooth) {
        text.Add(L" - Bluetooth link, not searched");
    }
}

// A device Windows has a problem with, with what stops it and what to do.
void AddStopped(PortChoices& choices, const SerialDevice& device) {
    if (PortChoice* choice = Add(choices, device.port, ChoiceKind::Stopped)) {
        WideText text(choice->text);
        AddAdapterEntry(text, device);
        WideText name(choice->adapter);
        AddAdapterName(name, device);
        choice->problem = device.problem;
    }
}

// Ports in name order, then stopped adapters by port, those without one last.
bool Before(const PortChoice& a, const PortChoice& b) {
    const bool aStopped = a.kind == ChoiceKind::Stopped, bStopped = b.kind == ChoiceKind::Stopped;
    if (aStopped != bStopped) {
        return bStopped;
    }
    if (!*a.port != !*b.port) {
        return *a.port != '\0';
    }
    return ComparePorts(a.port, b.port) < 0;
}

// Insertion sort of the entries after COM1 itself: a few dozen entries at most.
void SortEntries(PortChoices& choices) {
    for (size_t i = 2; i < choices.count; ++i) {
        const PortChoice moving = choices.at[i];
        size_t to = i;
        for (; to > 1 && Before(moving, choices.at[to - 1]); --to) {
            choices.at[to] = choices.at[to - 1];
        }
        choices.at[to] = moving;
    }
}

} // namespace

void ListPortChoices(const SerialDevices& devices, PortChoices& choices) {
    PortName mapped;
    const char* opens = MappedPort(kAskedPort, mapped); // as Open finds it
    const bool isMapped = ComparePorts(opens, kAskedPort) != 0;
    choices.count = 0;
    AddPort(choices, "", nullptr, L" (no mapping)");
    const size_t room = kMaxPortChoices - (isMapped ? 1 : 0); // the mapped port's place
    PortName port;
    for (DWORD i = 0; SerialPortAt(i, port) && choices.count < room; ++i) {
        // COM1 is the first entry already, whatever its device.
        if (IsPortName(port) && ComparePorts(port, kAskedPort) != 0 &&
            Find(choices, port) == kNone) {
            const SerialDevice* device = DeviceOf(devices, port);
            if (device && device->problem) {
                AddStopped(choices, *device);
            } else {
                AddPort(choices, port, device);
            }
        }
    }
    for (size_t i = 0; i < devices.count && choices.count < room; ++i) {
        const SerialDevice& device = devices.at[i];
        if (device.problem && (!*device.port || Find(choices, device.port) == kNone)) {
            AddStopped(choices, device);
        }
    }
    if (isMapped && Find(choices, opens) == kNone) {
        AddPort(choices, opens, nullptr, L" (not on this PC)");
    }
    SortEntries(choices);
    choices.selected = isMapped ? Find(choices, opens) : 0;
}

LSTATUS StorePortChoice(const PortChoices& choices, size_t index) {
    if (index >= choices.count) {
        return ERROR_INVALID_PARAMETER;
    }
    return choices.at[index].kind == ChoiceKind::Stopped
               ? ERROR_NOT_READY
               : SetPortMapping(kAskedPort, choices.at[index].port);
}

} // namespace radiolink
