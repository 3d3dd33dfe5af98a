// A PacketLink or CommandLink object of the component running on a FakeLine.
#pragma once

#include "component/command_link.h"
#include "component/packet_link.h"
#include "fake_line.h"
#include "radio/radio_link.h"

enum class LinkKind { Packet, Command };

struct FakeLink {
    explicit FakeLink(LinkKind kind) {
        if (kind == LinkKind::Packet) {
            NewPacketLink(line.Opener(), line.Clock(), IID_IRadioLink, link.PutVoid());
            link->QueryInterface(IID_IPacketTransfer, transfer.PutVoid());
        } else {
            NewCommandLink(line.Opener(), line.Clock(), IID_IRadioLink, link.PutVoid());
        }
    }

    FakeLine line;
    ComPtr<IPacketTransfer> transfer;
    ComPtr<IRadioLink> link;
};
