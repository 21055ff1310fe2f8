#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// One request or reply of a unit's own protocol: a 9-byte big-endian header (command, three
// indexes, a length byte) and a payload whose size the command decides. Numbers inside payloads
// travel little-endian. A plain value: the unit objects copy it into and out of their queues.
class CDevicePacket
{
public:
    static constexpr size_t kHeaderSize = 9;
    static constexpr size_t kDataSize = 1074;
    // The longest ordinary payload the setters write and the decoder keeps.
    static constexpr size_t kMaxOrdinary = 249;
    static constexpr size_t kBlockUnit = 512;
    static constexpr size_t kBlockSize = 1024;
    // index2 and length together mark a long-form payload whose byte count is in index1.
    static constexpr uint16_t kLongMarkIndex2 = 190;
    static constexpr uint8_t kLongMarkLength = 239;
    // What a text-form head decodes to when it names no command.
    static constexpr uint32_t kNoCommand = 300;

    CDevicePacket() = default;
    explicit CDevicePacket(uint32_t command) : m_command(command) {}

    uint32_t GetCommand() const { return m_command; }
    void SetCommand(uint32_t command) { m_command = command; }
    uint16_t GetIndex0() const { return m_index0; }
    uint16_t GetIndex1() const { return m_index1; }
    uint16_t GetIndex2() const { return m_index2; }
    void SetIndexes(uint16_t index0, uint16_t index1, uint16_t index2);
    uint8_t GetLength() const { return m_length; }
    void SetLength(uint8_t length) { m_length = length; }
    const uint8_t* GetData() const { return m_data; }

    // Payload setters; none touches the command, and only the long form the indexes.
    void SetData(const uint8_t* bytes, uint32_t count);
    // Copies up to kMaxOrdinary bytes of [begin, end); returns where copying stopped.
    const uint8_t* SetDataFromRange(const uint8_t* begin, const uint8_t* end);
    void SetDataText(const std::string& text);
    void SetBlock(const uint8_t (&bytes)[kBlockSize]);
    void SetLongData(const uint8_t* bytes, uint32_t count);

    // The data up to the first NUL, never beyond the data area.
    std::string GetDataText() const;

    // The datagram size Encode writes.
    size_t GetWireLength() const;
    // Writes GetWireLength() bytes into out.
    void Encode(uint8_t* out) const;

    // Fills the packet from a datagram of any length; false (packet untouched) below 5 bytes.
    bool Decode(const uint8_t* bytes, size_t count);
    // The 5-to-8-byte text form: a five-letter command name, then up to 3 payload bytes.
    bool DecodeText(const uint8_t* bytes, size_t count);

    // Whether reply answers this request.
    bool IsAnsweredBy(const CDevicePacket& reply) const;

    bool operator==(const CDevicePacket& other) const;
    bool operator!=(const CDevicePacket& other) const { return !(*this == other); }

private:
    bool IsBlockCommand() const;
    bool IsSendingLongForm() const;
    bool HasLongMarks() const;
    void ClearData();

    uint32_t m_command = 0;
    uint16_t m_index0 = 0;
    uint16_t m_index1 = 0;
    uint16_t m_index2 = 0;
    uint8_t m_length = 0;
    uint8_t m_data[kDataSize] = {};
};

// The unit commands this program sends that have no name in the table.
enum : uint32_t
{
    DEVICE_GET_MAC = 0,
    DEVICE_SET_IP = 2,
    DEVICE_GET_SUBNET = 3,
    DEVICE_SET_SUBNET = 4,
    DEVICE_GET_VERSION_FIRMWARE = 9,
    DEVICE_GET_VERSION_PCB = 10,
    DEVICE_GET_LABEL = 17,
    DEVICE_SET_LABEL = 18,
    DEVICE_BLINK = 22,
    DEVICE_FIRMWARE_VERIFY = 26,
    DEVICE_GET_ARTNET_UNIVERSE = 52,
    DEVICE_GET_ARTNET_ENABLED = 206,
    DEVICE_GET_DHCP = 234,
    DEVICE_SET_DHCP = 235,
    DEVICE_GET_ACN_ENABLED = 239,
    DEVICE_GET_ACN_UNIVERSE = 240,
    DEVICE_RESET_UNIT = 296,
};

// The command's name; "-" for 300 and "????" for a code without a name.
std::string DeviceCommandName(int code);
// The first code 0..299 whose name equals the text without regard to ASCII case; 300 when none.
uint32_t DeviceCommandFromName(const std::string& name);
