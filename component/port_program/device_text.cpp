#include "component/port_program/device_text.h"

namespace radiolink {

namespace {

// "067B"
void AddHex(WideText& text, uint16_t value) {
    wchar_t digits[5];
    wsprintfW(digits, L"%04X", value);
    text.Add(digits);
}

} // namespace

void AddDeviceName(WideText& text, const SerialDevice& device) {
    wchar_t suffix[kMaxPortName + 4];
    WideText(suffix).Add(L" (").AddPort(device.port).Add(L")");
    const size_t length = lstrlenW(device.name), suffixLength = lstrlenW(suffix);
    const bool named = device.port[0] && length > suffixLength &&
                       CompareStringOrdinal(device.name + length - suffixLength, -1, suffix, -1,
                                            TRUE) == CSTR_EQUAL;
    text.Add(length ? device.name : L"serial device", named ? length - suffixLength : size_t(-1));
}

void AddAdapterEntry(WideText& text, const SerialDevice& device) {
    if (device.port[0]) {
        text.AddPort(device.port);
    } else {
        text.Add(L"No port");
    }
    AddDeviceName(text.Add(L" - "), device);
    const wchar_t* maker = ConverterMaker(device.vendor);
    if (device.vendor != 0) {
        text.Add(L" (");
        if (maker) {
            text.Add(maker).Add(L", ");
        }
        AddHex(text.Add(L"USB "), device.vendor);
        AddHex(text.Add(L":"), device.product);
        text.Add(L")");
    }
    text.Add(L"\n");
    switch (device.problem) {
    case kProblemNoDriver:
        text.Add(L"No driver is installed for it (code 28). ");
        if (maker) {
            text.Add(L"Install the ").Add(maker).Add(L" driver for it.");
        } else {
            text.Add(L"Install the driver from the maker of the adapter.");
        }
        break;
    case kProblemNotStarted:
        text.Add(L"Its driver could not start it (code 10). The driver refuses this adapter: use "
                 L"another cable.");
        break;
    case kProblemDisabled:
        text.Add(L"It is disabled (code 22). Enable it in Device Manager.");
        break;
    default:
        wchar_t code[80];
        wsprintfW(code, L"Windows reports problem code %lu for it.", device.problem);
        text.Add(code).Add(L" Its properties in Device Manager say more.");
        break;
    }
}

void AddAdapterName(WideText& text, const SerialDevice& device) {
    if (const wchar_t* maker = ConverterMaker(device.vendor)) {
        text.Add(maker).Add(L" adapter");
    } else {
        AddDeviceName(text, device);
    }
}

} // namespace radiolink
