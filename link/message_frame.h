#pragma once

#include "link/message.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The wire form of a message record on the controller link: a 20-byte little-endian header and
// the typed payload. The reader is the gate for everything the controller sends, so it checks
// every bound before it trusts a byte.
class CMessageFrame
{
public:
    // The controller's port, for discovery and for the link.
    static constexpr uint16_t kPort = 16945;
    static constexpr size_t kHeaderSize = 20;
    // Frames are built in a buffer of this size, so a payload holds at most 1004 bytes.
    static constexpr size_t kSendBufferSize = 1024;
    static constexpr size_t kMaxSendPayload = kSendBufferSize - kHeaderSize;
    // Payload lengths from this value up are refused.
    static constexpr size_t kPayloadLimit = 1500;
    // The longest datagram a receiver handles whole: its 2048-byte buffer keeps room for a NUL.
    static constexpr size_t kMaxDatagram = 2047;

    // The frame of a record: manager low 8 bits, command and indexes low 16 bits. False, with out
    // emptied, when the payload does not fit the send buffer.
    static bool Encode(const CMessage& message, std::vector<uint8_t>& out);
    // Reads a datagram into a record. False when it must be dropped: shorter than a header or than
    // header and payload, manager from 64 up, command from 77 up, payload length from 1500 up,
    // or the reserved bytes not zero.
    static bool Decode(const uint8_t* bytes, size_t count, CMessage& out);

    // The payload bytes of a value (empty for the tags without a payload).
    static std::vector<uint8_t> EncodeValue(const CMessageValue& value);
    // The value a payload of the given tag carries; missing bytes of a fixed-size kind read as zero.
    static CMessageValue DecodeValue(uint32_t tag, const uint8_t* payload, size_t length);
};
