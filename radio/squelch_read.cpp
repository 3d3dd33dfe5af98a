#include "radio/squelch_read.h"

#include "framework/message_box.h"
#include "radio/radio_commands.h"
#include "radio/packet_connection.h"
#include "radio/radio_messages.h"

namespace radio {

namespace {

using layout::kPieceSize;

// Reads 32 bytes at `address` into entries[0..31], each byte widened without sign.
bool ReadPiece(PacketConnection& connection, RadioImage& image, uint32_t address,
               uint32_t* entries) {
    image.transferAddress = address;
    TransferBuffer* payload = connection.Payload();
    payload->count = 1;
    payload->data[0] = static_cast<BYTE>(kPieceSize);
    if (FAILED(connection.Transfer(kReadRequest, image.transferAddress))) {
        return false;
    }
    const TransferBuffer* reply = connection.Reply();
    for (uint32_t i = 0; i < kPieceSize; ++i) {
        entries[i] = reply->data[i];
    }
    return true;
}

enum class WalkResult { Complete, VectorNotFound, TransferFailed };

// The seven reads. Addresses are formed in 32 bits: address + 32 never wraps at 16 bits.
WalkResult WalkMemory(SquelchDialog& dialog, PacketConnection& connection) {
    RadioImage& image = dialog.Image();
    auto read = [&](uint32_t address, uint32_t* entries) {
        return ReadPiece(connection, image, address, entries);
    };

    // R1, R2: the root block.
    if (!read(layout::kRootAddress, image.blockScratch)) {
        return WalkResult::TransferFailed;
    }
    image.indexAddress = DecodePointer(image.blockScratch, layout::kRootIndexPointer);
    if (!read(layout::kRootAddress + kPieceSize, image.blockScratch)) {
        return WalkResult::TransferFailed;
    }
    image.potVectorAddress =
        DecodePointer(image.blockScratch, layout::kRootVectorPointer - kPieceSize);

    // R3, R4: the index block.
    if (!read(image.indexAddress, image.blockScratch) ||
        !read(image.indexAddress + kPieceSize, image.blockScratch + kPieceSize)) {
        return WalkResult::TransferFailed;
    }
    image.recordAddress = DecodePointer(image.blockScratch, layout::kIndexRecordPointer);

    // R5: the first half of the squelch record gives the value.
    if (!read(image.recordAddress, image.recordImage)) {
        return WalkResult::TransferFailed;
    }
    image.squelchByte = static_cast<uint8_t>(image.recordImage[layout::kSquelchByte]);
    image.recordImage[layout::kRecordFixedByte] = layout::kRecordFixedByteValue;
    dialog.OpenValueRange();
    dialog.SquelchValue() = SquelchValueOf(image.squelchByte);

    // R6: the rest of the record.
    if (!read(image.recordAddress + kPieceSize, image.recordImage + kPieceSize)) {
        return WalkResult::TransferFailed;
    }

    // R7: the pot vector, only where it can be.
    if (!IsVectorAddressAccepted(image.potVectorAddress)) {
        return WalkResult::VectorNotFound;
    }
    if (!read(image.potVectorAddress, image.potVectorImage)) {
        return WalkResult::TransferFailed;
    }
    return WalkResult::Complete;
}

} // namespace

void WaitMilliseconds(DWORD milliseconds) {
    Sleep(milliseconds);
}

void ReadSquelch(SquelchDialog& dialog, WaitFunction wait) {
    PacketConnection connection;
    if (!connection.HasBuffers()) {
        AfxMessageBox(kMsgOutOfMemory, MB_OK, 0);
        return;
    }

    if (FAILED(EnterProgrammingMode())) {
        AfxMessageBox(kMsgCouldNotEnterProgrammingMode, MB_OK, 0);
        return;
    }
    wait(kProgrammingModeSettleMs);
    SendCommand12(1); // reports its own open failure; the read goes on regardless

    if (FAILED(connection.Create())) {
        AfxMessageBox(kMsgCouldNotInstantiate, MB_OK, 0);
        return;
    }

    if (FAILED(connection.Open())) {
        AfxMessageBox(kMsgCouldNotOpenPort, MB_OK, 0);
    } else {
        dialog.ValueRead() = FALSE;
        switch (WalkMemory(dialog, connection)) {
        case WalkResult::Complete:
            dialog.ValueRead() = TRUE;
            break;
        case WalkResult::VectorNotFound:
            AfxMessageBox(kMsgVectorNotFound, MB_OK, 0);
            break;
        case WalkResult::TransferFailed:
            AfxMessageBox(kMsgReadFailed, MB_OK, 0);
            break;
        }
    }
    connection.Close(); // also after a failed Open, and before the value is shown
    dialog.ShowValue();
}

} // namespace radio
