#include "radio/squelch_write.h"

#include "framework/message_box.h"
#include "radio/radio_commands.h"
#include "radio/packet_connection.h"
#include "radio/radio_messages.h"

namespace radio {

namespace {

using layout::kPieceSize;

// Puts the low bytes of entries[first..last] into the payload.
void FillPayload(TransferBuffer* payload, const uint32_t* entries, uint32_t first, uint32_t last) {
    payload->count = static_cast<int32_t>(last - first + 1);
    for (uint32_t i = first; i <= last; ++i) {
        payload->data[i - first] = static_cast<BYTE>(entries[i]);
    }
}

HRESULT SendPayload(PacketConnection& connection, RadioImage& image, uint32_t address) {
    image.transferAddress = address;
    return connection.Transfer(kWriteRequest, image.transferAddress);
}

// The three blocks in order; the first failure stops the rest. The squelch fields and the
// record checksum change in the image in place and stay changed, so a second write of the
// same value sends the same blocks.
HRESULT WriteBlocks(RadioImage& image, uint32_t value, PacketConnection& connection) {
    TransferBuffer* payload = connection.Payload();
    // The pot vector. Its checksum goes into the payload only: the image keeps the one read.
    image.potVectorImage[layout::kPotSetting] = PotSettingFor(value);
    FillPayload(payload, image.potVectorImage, 0, layout::kVectorDataBytes - 1);
    payload->data[layout::kVectorChecksum] = VectorChecksum(image);
    payload->count = static_cast<int32_t>(layout::kVectorSize);
    HRESULT hr = SendPayload(connection, image, image.potVectorAddress);
    if (FAILED(hr)) {
        return hr;
    }

    // The record head, after the squelch byte and the checksum have been recomputed.
    const uint32_t n = image.recordImage[layout::kRecordLength] & 0xFFu;
    image.recordImage[layout::kSquelchByte] =
        PackSquelchByte(image.recordImage[layout::kSquelchByte], value);
    image.recordEndIndex = n + 4;
    image.recordImage[image.recordEndIndex] = *RecordChecksum(image);
    FillPayload(payload, image.recordImage, 0, kPieceSize - 1);
    hr = SendPayload(connection, image, image.recordAddress);
    if (FAILED(hr)) {
        return hr;
    }

    // The record tail: bytes 32 to N + 4, the checksum last (N - 27 bytes).
    FillPayload(payload, image.recordImage, kPieceSize, image.recordEndIndex);
    return SendPayload(connection, image, image.recordAddress + kPieceSize);
}

} // namespace

void WriteSquelch(SquelchDialog& dialog) {
    if (!dialog.ValueRead()) {
        AfxMessageBox(kMsgMustReadFirst, MB_OK, 0);
        return;
    }

    PacketConnection connection; // closes the port, also after a failed Open
    if (!connection.HasBuffers()) {
        AfxMessageBox(kMsgOutOfMemory, MB_OK, 0);
        return;
    }

    SendCommand12(1); // reports its own open failure; the write goes on regardless

    if (FAILED(connection.Create())) {
        AfxMessageBox(kMsgCouldNotInstantiate, MB_OK, 0);
        return;
    }

    RadioImage& image = dialog.Image();
    if (FAILED(connection.Open())) {
        AfxMessageBox(kMsgCouldNotOpenPort, MB_OK, 0);
    } else if (!dialog.TakeValue()) {
        // The data exchange has shown its own message; nothing is written.
    } else if (!IsRecordLengthWritable(image.recordImage[layout::kRecordLength] & 0xFFu)) {
        AfxMessageBox(kMsgRecordLengthUnsupported, MB_OK, 0);
    } else if (FAILED(WriteBlocks(image, dialog.SquelchValue() & 0x0Fu, connection))) {
        AfxMessageBox(kMsgWriteIncomplete, MB_OK, 0);
    }
}

} // namespace radio
