#include "link/message_frame.h"

#include "foundation/byte_order.h"
#include "foundation/utf8.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
constexpr uint8_t kTagMask = 0x3F;

uint32_t FloatBits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

float BitsFloat(uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// The coordinate's constructor keeps the axes in range; the wire carries them as they are, so the
// two axes are put together with the operators that do not clamp.
CCoordinate UnclampedCoordinate(float x, float y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return CCoordinate(x, y);
    CCoordinate coordinate = CCoordinate(1.0f, 0.0f) * x;
    coordinate += CCoordinate(0.0f, 1.0f) * y;
    return coordinate;
}
}  // namespace

std::vector<uint8_t> CMessageFrame::EncodeValue(const CMessageValue& value)
{
    std::vector<uint8_t> out;
    switch (value.GetType())
    {
    case VALUE_STRING:
        out.assign(value.GetString().begin(), value.GetString().end());
        out.push_back(0);
        break;
    case VALUE_UNSIGNED:
    case VALUE_BOOL:
        AppendLe32(out, value.GetUnsigned());
        break;
    case VALUE_FLOAT:
        AppendLe32(out, FloatBits(value.GetFloat()));
        break;
    case VALUE_U64:
        AppendLe32(out, static_cast<uint32_t>(value.GetU64()));
        AppendLe32(out, static_cast<uint32_t>(value.GetU64() >> 32));
        break;
    case VALUE_COORDINATE:
        AppendLe32(out, FloatBits(value.GetCoordinate().GetX()));
        AppendLe32(out, FloatBits(value.GetCoordinate().GetY()));
        break;
    case VALUE_FX:
    {
        uint8_t bytes[CFxValue::kWireSize];
        value.GetFx().WriteWire(bytes);
        out.assign(bytes, bytes + sizeof(bytes));
        break;
    }
    case VALUE_COLOUR:
    {
        uint16_t channels[5];
        value.GetColour().WriteWire(channels);
        for (uint16_t channel : channels)
            AppendLe16(out, channel);
        break;
    }
    case VALUE_TIME:
        AppendLe32(out, value.GetTime().GetWireMilliseconds());
        break;
    case VALUE_RAW:
    case VALUE_DIGEST:
        if (value.GetRawSize() > 0)
            out.assign(value.GetRawData(), value.GetRawData() + value.GetRawSize());
        break;
    default:
        break;
    }
    return out;
}

bool CMessageFrame::Encode(const CMessage& message, std::vector<uint8_t>& out)
{
    const std::vector<uint8_t> payload = EncodeValue(message.GetValueRef());
    if (payload.size() > kMaxSendPayload)
    {
        out.clear();
        return false;
    }
    out.assign(kHeaderSize + payload.size(), 0);
    uint8_t* header = out.data();
    header[0] = static_cast<uint8_t>(message.GetManager());
    header[1] = static_cast<uint8_t>(message.GetValueRef().GetType() & kTagMask);
    WriteLe16(header + 2, message.GetCommand());
    WriteLe16(header + 4, message.GetIndex0());
    WriteLe16(header + 6, message.GetIndex1());
    WriteLe16(header + 8, message.GetIndex2());
    WriteLe16(header + 10, 0xFFFF);
    WriteLe16(header + 12, static_cast<uint32_t>(payload.size()));
    WriteLe16(header + 14, message.GetSequence());
    // Bytes 16 to 19 stay zero.
    std::copy(payload.begin(), payload.end(), out.begin() + kHeaderSize);
    return true;
}

CMessageValue CMessageFrame::DecodeValue(uint32_t tag, const uint8_t* payload, size_t length)
{
    // Fixed-size kinds read from a zero-padded copy, so a short payload never reads past its end.
    uint8_t fixed[CMessageValue::kDigestSize] = {};
    if (payload && length > 0)
        std::memcpy(fixed, payload, std::min(length, sizeof(fixed)));

    switch (tag)
    {
    case VALUE_STRING:
    {
        // Only a terminated text is taken; the text ends at its first NUL. Bytes that are no
        // UTF-8 (a controller's Latin-1 label) are mended before the model stores them.
        if (length == 0 || payload[length - 1] != 0)
            return CMessageValue(std::string());
        return CMessageValue(ToValidUtf8(reinterpret_cast<const char*>(payload)));
    }
    case VALUE_UNSIGNED:
        return CMessageValue(ReadLe32(fixed));
    case VALUE_BOOL:
        return CMessageValue(ReadLe32(fixed) != 0);
    case VALUE_FLOAT:
    {
        const float value = BitsFloat(ReadLe32(fixed));
        return CMessageValue(std::isnan(value) ? 0.0f : value);
    }
    case VALUE_U64:
        return CMessageValue(uint64_t(ReadLe32(fixed)) | (uint64_t(ReadLe32(fixed + 4)) << 32));
    case VALUE_COORDINATE:
        return CMessageValue(UnclampedCoordinate(BitsFloat(ReadLe32(fixed)), BitsFloat(ReadLe32(fixed + 4))));
    case VALUE_FX:
    {
        CFxValue fx;
        fx.ReadWire(fixed);
        return CMessageValue(fx);
    }
    case VALUE_COLOUR:
    {
        uint16_t channels[5];
        for (int i = 0; i < 5; ++i)
            channels[i] = ReadLe16(fixed + 2 * i);
        CColour colour;
        colour.ReadWire(channels);
        return CMessageValue(colour);
    }
    case VALUE_TIME:
    {
        CTime time;
        time.ReadWire(fixed);
        return CMessageValue(time);
    }
    case VALUE_RAW:
    {
        CMessageValue raw;
        raw.SetRawData(payload, static_cast<uint32_t>(length));
        return raw;
    }
    case VALUE_DIGEST:
    {
        CDigest digest;
        digest.SetData(fixed);
        return CMessageValue(digest);
    }
    default:
        return CMessageValue();
    }
}

bool CMessageFrame::Decode(const uint8_t* bytes, size_t count, CMessage& out)
{
    if (!bytes || count < kHeaderSize)
        return false;
    const uint32_t manager = bytes[0];
    const uint32_t tag = bytes[1] & kTagMask;
    const uint32_t command = ReadLe16(bytes + 2);
    const size_t length = ReadLe16(bytes + 12);
    if (manager >= MANAGER_MAX || command >= COMMAND_MAX || length >= kPayloadLimit)
        return false;
    if (ReadLe32(bytes + 16) != 0)
        return false;
    if (count < kHeaderSize + length)
        return false;

    CMessage message(manager, command);
    message.SetIndex0(ReadLe16(bytes + 4));
    message.SetIndex1(ReadLe16(bytes + 6));
    message.SetIndex2(ReadLe16(bytes + 8));
    message.SetSequence(ReadLe16(bytes + 14));
    message.SetValue(DecodeValue(tag, bytes + kHeaderSize, length));
    out = message;
    return true;
}
