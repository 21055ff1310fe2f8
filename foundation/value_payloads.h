#pragma once

#include "foundation/ip_address.h"
#include "foundation/midi_address.h"
#include "foundation/time.h"

#include <cstdint>
#include <string>

// Small records that a typed value carries and that have no class of their own elsewhere.

// A DMX address: universe (0-based) and channel.
struct SDmxAddress
{
    uint8_t universe = 0;
    uint16_t channel = 0;

    bool operator==(const SDmxAddress& other) const
    {
        return universe == other.universe && channel == other.channel;
    }
};

// The six bytes of an Ethernet address, in transmission order.
struct SMacAddress
{
    uint8_t bytes[6] = {0, 0, 0, 0, 0, 0};

    bool operator==(const SMacAddress& other) const;
};

// A UDP datagram as received: when, from whom, and its first 32 bytes.
struct SUdpMessage
{
    static constexpr int kDataSize = 32;

    CTime time;
    CIpAddress sender;
    uint8_t data[kDataSize] = {};

    // Every field, the sender's port included.
    bool operator==(const SUdpMessage& other) const;
};

// A MIDI message as received: its second data byte, its address and when it came.
struct SMidiMessage
{
    uint8_t data = 0;
    CMidiAddress address;
    CTime time;

    bool operator==(const SMidiMessage& other) const;
};

// "1:10" (universe shown 1-based), or "01:010" padded.
std::string FormatDmxAddress(const SDmxAddress& address, bool padded = false);
// Numbers separated by '.' or ':'; the first is the 1-based universe (kept in 8 bits, so 0 wraps to
// 255), the second the channel. Every one of the first five parts must be a number: otherwise
// boost::bad_lexical_cast is thrown and the address is left as it was.
void ParseDmxAddress(const std::string& text, SDmxAddress& address);

// "00:1A:2B:3C:4D:5E".
std::string FormatMacAddress(const SMacAddress& address);
// Exactly six groups of one or two hex digits separated by ':'; false, address unchanged, for
// any other text.
bool ParseMacAddress(const std::string& text, SMacAddress& address);
