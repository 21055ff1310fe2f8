#include "link/unit_packet.h"

#include "foundation/ascii.h"
#include "foundation/byte_order.h"

#include <algorithm>
#include <cstring>

namespace
{
struct SCommandName
{
    int code;
    const char* name;
};

const SCommandName kCommandNames[] = {
    {0, "GetMac"},
    {1, "SetMac"},
    {2, "SetIp"},
    {3, "GetSubnet"},
    {4, "SetSubnet"},
    {5, "GetRouter"},
    {6, "SetRouter"},
    {7, "GetOem"},
    {8, "SetOem"},
    {9, "GetVersionFirmware"},
    {10, "GetVersionPcb"},
    {11, "GetPcbSerial"},
    {12, "SetPcbSerial"},
    {13, "GetDate"},
    {14, "SetDate"},
    {15, "GetTime"},
    {16, "SetTime"},
    {17, "GetLabel"},
    {18, "SetLabel"},
    {19, "GetCalibration"},
    {20, "SetCalibration"},
    {21, "FactoryDefaults"},
    {22, "Blink"},
    {23, "GetReferenceTime"},
    {24, "FirmwareUpload"},
    {25, "FirmwarePrepare"},
    {26, "FirmwareVerify"},
    {27, "FirmwareUpgrade"},
    {28, "SettingsGetDuplicate"},
    {29, "SettingsSetDuplicate"},
    {31, "SettingsSetUdpPort"},
    {70, "ShowControlGetCount"},
    {71, "ShowControlClear"},
    {73, "ShowControlAddTemplate"},
    {74, "ActionListGetSource"},
    {75, "ActionListGetEnable"},
    {76, "ActionListSetEnable"},
    {77, "ActionListGetCount"},
    {78, "ActionListAdd"},
    {79, "ActionAdd"},
    {80, "ActionGetLabel"},
    {81, "ActionSetLabel"},
    {82, "ActionGetCount"},
    {83, "ActionSetCount"},
    {84, "ActionGetType"},
    {85, "ActionSetType"},
    {86, "ActionGetColour"},
    {87, "ActionSetColour"},
    {88, "ActionGetTriggerType"},
    {89, "ActionSetTriggerType"},
    {90, "ActionGetTriggerValue"},
    {91, "ActionSetTriggerValue"},
    {92, "ActionGetTriggerFlank"},
    {93, "ActionSetTriggerFlank"},
    {94, "ActionTaskGetType"},
    {95, "ActionTaskSetType"},
    {96, "ActionTaskGetFeature"},
    {97, "ActionTaskSetFeature"},
    {98, "ActionTaskGetFunction"},
    {99, "ActionTaskSetFunction"},
    {100, "ActionTaskGetParameterType0"},
    {101, "ActionTaskSetParameterType0"},
    {102, "ActionTaskGetParameterString0"},
    {103, "ActionTaskSetParameterString0"},
    {104, "ActionTaskGetParameterType1"},
    {105, "ActionTaskSetParameterType1"},
    {106, "ActionTaskGetParameterString1"},
    {107, "ActionTaskSetParameterString1"},
    {112, "CueGetLabel"},
    {113, "CueSetLabel"},
    {114, "CueGetFade"},
    {115, "CueSetFade"},
    {116, "CueGetHold"},
    {117, "CueSetHold"},
    {118, "CueGetLinkForward"},
    {119, "CueSetLinkForward"},
    {120, "CueGetLinkBack"},
    {121, "CueSetLinkBack"},
    {122, "CueGetNonZeroData"},
    {123, "CueGetSection"},
    {124, "CueSetSection"},
    {125, "CueClearChannels"},
    {136, "RecorderGetMemories"},
    {137, "RecorderSetMemories"},
    {179, "GpiGetAll"},
    {204, "GetVersionProtocol"},
    {205, "ZevralDiscover"},
    {241, "SettingsGetArtnetDestination"},
    {280, "SettingsSetTcpPort"},
    {296, "ResetUnit"},
};

const char* FindName(int code)
{
    for (const SCommandName& entry : kCommandNames)
    {
        if (entry.code == code)
            return entry.name;
    }
    return nullptr;
}
}  // namespace

void CDevicePacket::SetIndexes(uint16_t index0, uint16_t index1, uint16_t index2)
{
    m_index0 = index0;
    m_index1 = index1;
    m_index2 = index2;
}

void CDevicePacket::SetData(const uint8_t* bytes, uint32_t count)
{
    SetDataFromRange(bytes, bytes + count);
}

const uint8_t* CDevicePacket::SetDataFromRange(const uint8_t* begin, const uint8_t* end)
{
    const size_t available = (begin && end > begin) ? static_cast<size_t>(end - begin) : 0;
    const size_t count = std::min(available, kMaxOrdinary);
    if (count > 0)
        std::memcpy(m_data, begin, count);
    m_data[count] = 0;
    m_length = static_cast<uint8_t>(count);
    return begin + count;
}

void CDevicePacket::SetDataText(const std::string& text)
{
    const uint8_t* begin = reinterpret_cast<const uint8_t*>(text.data());
    SetDataFromRange(begin, begin + text.size());
}

void CDevicePacket::SetBlock(const uint8_t (&bytes)[kBlockSize])
{
    std::memcpy(m_data, bytes, kBlockSize);
    m_length = static_cast<uint8_t>(kBlockSize / kBlockUnit);
}

void CDevicePacket::SetLongData(const uint8_t* bytes, uint32_t count)
{
    const size_t copied = bytes ? std::min<size_t>(count, kDataSize) : 0;
    if (copied > 0)
        std::memcpy(m_data, bytes, copied);
    m_index1 = static_cast<uint16_t>(copied);
    m_index2 = kLongMarkIndex2;
    m_length = kLongMarkLength;
}

std::string CDevicePacket::GetDataText() const
{
    const void* nul = std::memchr(m_data, 0, kDataSize);
    const size_t length = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - m_data) : kDataSize;
    return std::string(reinterpret_cast<const char*>(m_data), length);
}

bool CDevicePacket::IsBlockCommand() const
{
    switch (m_command)
    {
    case 177:
    case 178:
    case 181:
    case 182:
    case 220:
        return true;
    default:
        return false;
    }
}

bool CDevicePacket::HasLongMarks() const
{
    return m_index2 == kLongMarkIndex2 && m_length == kLongMarkLength;
}

bool CDevicePacket::IsSendingLongForm() const
{
    return (m_command == 24 || m_command == 174 || m_command == 233) && HasLongMarks();
}

size_t CDevicePacket::GetWireLength() const
{
    // Out-of-range block counts and long-form sizes are held to the data area, so that the
    // encoder never reads past it.
    if (IsBlockCommand())
        return kHeaderSize + std::min<size_t>(size_t(m_length) * kBlockUnit, kDataSize);
    if (IsSendingLongForm())
        return kHeaderSize + std::min<size_t>(m_index1, kDataSize);
    return kHeaderSize + m_length;
}

void CDevicePacket::Encode(uint8_t* out) const
{
    WriteBe16(out, m_command);
    WriteBe16(out + 2, m_index0);
    WriteBe16(out + 4, m_index1);
    WriteBe16(out + 6, m_index2);
    out[8] = m_length;
    std::memcpy(out + kHeaderSize, m_data, GetWireLength() - kHeaderSize);
}

void CDevicePacket::ClearData()
{
    std::memset(m_data, 0, sizeof(m_data));
}

bool CDevicePacket::Decode(const uint8_t* bytes, size_t count)
{
    if (count < kHeaderSize)
        return DecodeText(bytes, count);

    m_command = ReadBe16(bytes);
    m_index0 = ReadBe16(bytes + 2);
    m_index1 = ReadBe16(bytes + 4);
    m_index2 = ReadBe16(bytes + 6);
    m_length = bytes[8];
    ClearData();

    const uint8_t* payload = bytes + kHeaderSize;
    const size_t available = count - kHeaderSize;
    if (IsBlockCommand())
    {
        // The header's unit count stays even when fewer bytes arrived; the rest reads as zeros.
        const size_t wanted = std::min<size_t>(size_t(m_length) * kBlockUnit, kDataSize);
        std::memcpy(m_data, payload, std::min(wanted, available));
        return true;
    }
    if (m_command == 232)
    {
        if (HasLongMarks())
        {
            // A count beyond the data area or the datagram is shortened to what is really there.
            const size_t copied = std::min({size_t(m_index1), kDataSize, available});
            std::memcpy(m_data, payload, copied);
            m_index1 = static_cast<uint16_t>(copied);
        }
        return true;
    }
    // An ordinary payload is whatever arrived; the header's length byte is not trusted.
    SetDataFromRange(payload, payload + available);
    return true;
}

bool CDevicePacket::DecodeText(const uint8_t* bytes, size_t count)
{
    constexpr size_t kNameLength = 5;
    if (count < kNameLength)
        return false;
    m_command = DeviceCommandFromName(std::string(reinterpret_cast<const char*>(bytes), kNameLength));
    m_index0 = m_index1 = m_index2 = 0;
    ClearData();
    const size_t rest = std::min<size_t>(count - kNameLength, 3);
    SetDataFromRange(bytes + kNameLength, bytes + kNameLength + rest);
    return true;
}

bool CDevicePacket::IsAnsweredBy(const CDevicePacket& reply) const
{
    if (m_command != reply.m_command || m_index0 != reply.m_index0 || m_index1 != reply.m_index1 ||
        m_index2 != reply.m_index2)
        return false;
    if (m_command != DEVICE_FIRMWARE_VERIFY && m_length != 0 && reply.m_length == m_length)
        return std::memcmp(m_data, reply.m_data, m_length) == 0;
    return true;
}

bool CDevicePacket::operator==(const CDevicePacket& other) const
{
    return m_command == other.m_command && m_index0 == other.m_index0 && m_index1 == other.m_index1 &&
           m_index2 == other.m_index2 && m_length == other.m_length &&
           std::memcmp(m_data, other.m_data, m_length) == 0;
}

std::string DeviceCommandName(int code)
{
    if (code == static_cast<int>(CDevicePacket::kNoCommand))
        return "-";
    const char* name = FindName(code);
    return name ? name : "????";
}

uint32_t DeviceCommandFromName(const std::string& name)
{
    // The table is in rising order of code, so the first match is the lowest code.
    for (const SCommandName& entry : kCommandNames)
    {
        if (EqualIgnoringAsciiCase(name, entry.name))
            return static_cast<uint32_t>(entry.code);
    }
    return CDevicePacket::kNoCommand;
}
