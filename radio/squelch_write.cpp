#include "radio/squelch_write.h"

#include "framework/message_box.h"
#include "radio/radio_commands.h"
#include "radio/radio_link.h"
#include "radio/radio_messages.h"

namespace {

using layout::kPieceSize;

// Puts the low bytes of entries[first..last] into the payload.
void FillPayload(TransferBuffer* payload, const uint32_t* entries, uint32_t first,
                 uint32_t last) {
    payload->count = static_cast<int32_t>(last - first + 1);
    for (uint32_t i = first; i <= last; ++i) {
        payload->data[i - first] = static_cast<BYTE>(entries[i]);
    }
}

HRESULT SendPayload(IPacketTransfer* transfer, TransferBuffer* payload, TransferBuffer* reply,
                    RadioImage& image, uint32_t address) {
    image.transferAddress = address;
    return Transfer(transfer, kWriteRequest, payload, reply, image.transferAddress);
}

// The three blocks in order; the first failure stops the rest. The squelch fields and the
// record checksum change in the image in place and stay changed, so a second write of the
// same value sends the same blocks.
HRESULT WriteBlocks(RadioImage& image, uint32_t value, IPacketTransfer* transfer,
                    TransferBuffer* payload, TransferBuffer* reply) {
    // The pot vector. Its checksum goes into the payload only: the image keeps the one read.
    image.potVectorImage[layout::kPotSetting] = PotSettingFor(value);
    FillPayload(payload, image.potVectorImage, 0, layout::kVectorDataBytes - 1);
    payload->data[layout::kVectorChecksum] = VectorChecksum(image);
    payload->count = static_cast<int32_t>(layout::kVectorSize);
    HRESULT hr = SendPayload(transfer, payload, reply, image, image.potVectorAddress);
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
    hr = SendPayload(transfer, payload, reply, image, image.recordAddress);
    if (FAILED(hr)) {
        return hr;
    }

    // The record tail: bytes 32 to N + 4, the checksum last (N - 27 bytes).
    FillPayload(payload, image.recordImage, kPieceSize, image.recordEndIndex);
    return SendPayload(transfer, payload, reply, image, image.recordAddress + kPieceSize);
}

} // namespace

void WriteSquelch(SquelchDialog& dialog) {
    if (!dialog.ValueRead()) {
        AfxMessageBox(kMsgMustReadFirst, MB_OK, 0);
        return;
    }

    // Declaration order is release order in reverse: IRadioLink goes first, then
    // IPacketTransfer, then the two buffers.
    OwnedTransferBuffer payload;
    OwnedTransferBuffer reply;
    if (!payload.IsValid() || !reply.IsValid()) {
        AfxMessageBox(kMsgOutOfMemory, MB_OK, 0);
        return;
    }

    SendCommand12(1); // reports its own open failure; the write goes on regardless

    ComPtr<IPacketTransfer> transfer;
    ComPtr<IRadioLink> link;
    if (FAILED(CreatePacketLink(link, transfer))) {
        AfxMessageBox(kMsgCouldNotInstantiate, MB_OK, 0);
        return;
    }

    RadioImage& image = dialog.Image();
    if (FAILED(link->Open(kRadioPort, kPacketConnection))) {
        AfxMessageBox(kMsgCouldNotOpenPort, MB_OK, 0);
    } else if (!dialog.TakeValue()) {
        // The data exchange has shown its own message; nothing is written.
    } else if (!IsRecordLengthWritable(image.recordImage[layout::kRecordLength] & 0xFFu)) {
        AfxMessageBox(kMsgRecordLengthUnsupported, MB_OK, 0);
    } else if (FAILED(WriteBlocks(image, dialog.SquelchValue() & 0x0Fu, transfer.Get(),
                                  payload.Get(), reply.Get()))) {
        AfxMessageBox(kMsgWriteIncomplete, MB_OK, 0);
    }
    link->Close(); // also after a failed Open
}
