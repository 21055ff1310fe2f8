#pragma once

#include <cstdint>
#include <string>

// The address of a MIDI message that a trigger waits for: the message type (status nibble 8..15),
// the channel (-1 for any channel) and the note or controller number.
class CMidiAddress
{
public:
    static constexpr int32_t kAnyChannel = -1;

    CMidiAddress() = default;

    uint32_t GetMessage() const { return m_message; }
    void SetMessage(uint32_t message) { m_message = message; }
    int32_t GetChannel() const { return m_channel; }
    void SetChannel(int32_t channel) { m_channel = channel; }
    uint8_t GetIndex() const { return m_index; }
    void SetIndex(uint8_t index) { m_index = index; }

    // From a received message packed as status byte in bits 8..15 and first data byte in bits 0..7.
    void SetFromMessage(uint32_t packed);

    bool operator==(const CMidiAddress& other) const;
    bool operator!=(const CMidiAddress& other) const { return !(*this == other); }
    // Equal message and index, on the same channel unless either side takes any channel.
    bool Matches(const CMidiAddress& other) const;
    // Addresses are ordered by channel alone.
    bool operator<(const CMidiAddress& other) const { return m_channel < other.m_channel; }
    bool operator>(const CMidiAddress& other) const { return m_channel > other.m_channel; }

    // "Note On", "Control Change", ...; "Unknown" for a value that is no message type.
    static const char* MessageName(uint32_t message);

    // "Channel 3 - Message 9 - Index 60".
    std::string ToString() const;
    // "Note On - Index 60".
    std::string ToDisplayString() const;
    // Reads the machine text. Every field is written: what is not found gives channel -1 (any),
    // message 8 or index 0. The fields are found by cutting at '-', so a negative channel hides
    // the message and index that follow it.
    void Parse(const std::string& text);

private:
    uint32_t m_message = 9;
    int32_t m_channel = 0;
    uint8_t m_index = 0;
};
