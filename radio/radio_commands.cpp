#include "radio/radio_commands.h"

#include "framework/message_box.h"
#include "radio/radio_link.h"
#include "radio/radio_messages.h"

#include <cstring>

namespace radio {

HRESULT RunCommand(const RadioCommand& command, bool reportOpenFailure) {
    // Declared first so that it goes last: the instance is released before the area is freed.
    OwnedTransferBuffer buffer;
    if (!buffer.IsValid()) {
        return E_OUTOFMEMORY;
    }

    ComPtr<IRadioLink> link;
    HRESULT hr = CreateRadioLink(CLSID_CommandLink, link);
    if (FAILED(hr)) {
        return hr;
    }

    hr = link->Open(kRadioPort, kCommandConnection);
    if (FAILED(hr)) {
        if (reportOpenFailure) {
            AfxMessageBox(kMsgCouldNotOpenPort, MB_OK, 0);
        }
        return hr; // no Close after a failed Open
    }

    buffer->count = kCommandCount;
    std::memcpy(buffer->data, command.data(), command.size());
    buffer->data[4] = 0; // never uninitialised memory on the wire

    const HRESULT sent = link->Send(buffer.Get());
    link->Close(); // its result does not change the outcome
    return sent;
}

HRESULT EnterProgrammingMode() {
    return RunCommand(kProgrammingModeCommand, false);
}

HRESULT SendCommand12(BYTE value) {
    return RunCommand(Command12(value), true);
}

HRESULT ResetRadio() {
    return RunCommand(kResetCommand, false);
}

} // namespace radio
