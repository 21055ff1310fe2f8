#include "link/message_frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

// The reference frame: manager 41 "Playback", command 24 "SetIntensity", index0 3, sequence 7,
// float 0.5.
const Bytes kSetIntensity = {
    0x29,                    // manager 41
    0x03,                    // payload tag 3 (float)
    0x18, 0x00,              // command 24
    0x03, 0x00,              // index0 3
    0x00, 0x00,              // index1
    0x00, 0x00,              // index2
    0xFF, 0xFF,              // fixed filler
    0x04, 0x00,              // payload length 4
    0x07, 0x00,              // sequence 7
    0x00, 0x00, 0x00, 0x00,  // reserved, must be zero
    0x00, 0x00, 0x00, 0x3F,  // 0.5f little-endian
};

Bytes Encode(const CMessage& message)
{
    Bytes out;
    EXPECT_TRUE(CMessageFrame::Encode(message, out));
    return out;
}

bool Decode(const Bytes& bytes, CMessage& out)
{
    return CMessageFrame::Decode(bytes.data(), bytes.size(), out);
}

// A header with the given tag and payload appended; the length field follows the payload.
Bytes Frame(uint8_t manager, uint8_t tag, uint16_t command, const Bytes& payload)
{
    Bytes frame = {
        manager, tag,
        uint8_t(command), uint8_t(command >> 8),
        0x01, 0x00,              // index0 1
        0x02, 0x00,              // index1 2
        0x03, 0x00,              // index2 3
        0xFF, 0xFF,
        uint8_t(payload.size()), uint8_t(payload.size() >> 8),
        0x34, 0x12,              // sequence 0x1234
        0x00, 0x00, 0x00, 0x00,
    };
    for (uint8_t byte : payload)
        frame.push_back(byte);
    return frame;
}

CMessageValue DecodedValue(uint8_t tag, const Bytes& payload)
{
    CMessage message;
    EXPECT_TRUE(Decode(Frame(41, tag, 5, payload), message));
    return message.GetValue();
}
}  // namespace

TEST(MessageFrame, SetIntensityGoldenFrame)
{
    CMessage message(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY);
    message.SetIndex0(3);
    message.SetSequence(7);
    message.SetValue(CMessageValue(0.5f));
    EXPECT_EQ(Encode(message), kSetIntensity);

    CMessage decoded;
    ASSERT_TRUE(Decode(kSetIntensity, decoded));
    EXPECT_EQ(decoded.GetManager(), 41u);
    EXPECT_EQ(decoded.GetCommand(), 24u);
    EXPECT_EQ(decoded.GetIndex0(), 3u);
    EXPECT_EQ(decoded.GetIndex1(), 0u);
    EXPECT_EQ(decoded.GetIndex2(), 0u);
    EXPECT_EQ(decoded.GetSequence(), 7u);
    EXPECT_EQ(decoded.GetValue(), CMessageValue(0.5f));
}

TEST(MessageFrame, WriterSendsLowBitsOfManagerCommandAndIndexes)
{
    CMessage message(MANAGER_PLAYBACK + 256, 0x10018);
    message.SetIndex0(0x10003);
    message.SetIndex2(0xABCD1234);
    const Bytes frame = Encode(message);
    ASSERT_EQ(frame.size(), 20u);
    EXPECT_EQ(frame[0], 0x29);
    EXPECT_EQ(frame[1], 25) << "the none payload travels as its tag with no bytes";
    EXPECT_EQ(frame[2], 0x18);
    EXPECT_EQ(frame[3], 0x00);
    EXPECT_EQ(frame[4], 0x03);
    EXPECT_EQ(frame[5], 0x00);
    EXPECT_EQ(frame[8], 0x34);
    EXPECT_EQ(frame[9], 0x12);
    EXPECT_EQ(frame[12], 0x00);
}

TEST(MessageFrame, PayloadBytesPerKind)
{
    struct SCase
    {
        CMessageValue value;
        Bytes payload;
    };
    CFxValue fx;
    fx.SetShape(FX_SHAPE_FULL_TWINKLE);
    fx.SetSize(255);
    fx.SetSpeed(-127);
    fx.SetPhase(200);
    CColour colour;
    colour.SetLevel(CColour::kRed, 0x0102);
    colour.SetLevel(CColour::kGreen, 0x0304);
    colour.SetLevel(CColour::kBlue, 0x0506);
    colour.SetLevel(CColour::kAmber, 0x0708);
    colour.SetLevel(CColour::kWhite, 0x090A);
    colour.SetLevel(CColour::kUv, 0xFFFF);
    CMessageValue raw;
    const uint8_t rawBytes[3] = {0xDE, 0xAD, 0x00};
    raw.SetRawData(rawBytes, 3);
    const SCase cases[] = {
        {CMessageValue(std::string("A")), {0x41, 0x00}},                 // text and its NUL
        {CMessageValue(std::string()), {0x00}},                          // empty text: the NUL alone
        {CMessageValue(0x01020304u), {0x04, 0x03, 0x02, 0x01}},          // u32
        {CMessageValue(true), {0x01, 0x00, 0x00, 0x00}},                 // bool as u32
        {CMessageValue(-2.0f), {0x00, 0x00, 0x00, 0xC0}},                // float
        {CMessageValue(uint64_t(0x0102030405060708ull)),
         {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}},              // u64
        {CMessageValue(CCoordinate(0.5f, -1.0f)),
         {0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x80, 0xBF}},              // x, then y
        {CMessageValue(fx), {0x0C, 0xFF, 0x81, 0xC8}},                   // shape, size, speed, phase
        {CMessageValue(colour),
         {0x02, 0x01, 0x04, 0x03, 0x06, 0x05, 0x08, 0x07, 0x0A, 0x09}},  // r, g, b, amber, white
        {CMessageValue(CTime(0, 1, 2)), {0x30, 0xF2, 0x00, 0x00}},       // 62000 ms
        {raw, {0xDE, 0xAD, 0x00}},                                       // raw bytes as they are
    };
    for (const SCase& c : cases)
    {
        CMessage message(MANAGER_PROGRAMMER_CHANGE, COMMAND_SET_VALUE);
        message.SetValue(c.value);
        const Bytes frame = Encode(message);
        ASSERT_GE(frame.size(), 20u);
        EXPECT_EQ(frame[1], c.value.GetType());
        EXPECT_EQ(frame[12] | (frame[13] << 8), int(c.payload.size()));
        EXPECT_EQ(Bytes(frame.begin() + 20, frame.end()), c.payload) << c.value.ToText();

        CMessage back;
        ASSERT_TRUE(Decode(frame, back));
        if (c.value.GetType() == VALUE_COLOUR)
        {
            // Warm white and UV do not travel.
            CColour sent = c.value.GetColour();
            sent.SetLevel(CColour::kUv, 0);
            EXPECT_EQ(back.GetValue().GetColour(), sent);
        }
        else
        {
            EXPECT_EQ(back.GetValue(), c.value) << c.value.ToText();
        }
    }

    // A time longer than the field holds goes as the most it holds: 4,294,968,000 ms wrapped
    // would reach the controller as 704 ms.
    CMessage tooLong(MANAGER_PROGRAMMER_CHANGE, COMMAND_SET_VALUE);
    tooLong.SetValue(CMessageValue(CTime(1193, 2, 48)));
    const Bytes frame = Encode(tooLong);
    EXPECT_EQ(Bytes(frame.begin() + 20, frame.end()), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(MessageFrame, DigestTravelsAsTwentyBytes)
{
    const uint32_t words[5] = {1, 2, 3, 4, 0xA0B0C0D0};
    CMessage message(MANAGER_ENGINE, COMMAND_GET_DIGEST);
    message.SetValue(CMessageValue(CDigest(words)));
    const Bytes frame = Encode(message);
    ASSERT_EQ(frame.size(), 40u);
    EXPECT_EQ(frame[1], 24);
    EXPECT_EQ(frame[12], 20);
    CMessage back;
    ASSERT_TRUE(Decode(frame, back));
    EXPECT_EQ(back.GetValue().GetType(), VALUE_DIGEST);
    EXPECT_EQ(back.GetValue().GetDigest(), CDigest(words));
}

TEST(MessageFrame, ReaderDropsWhatBreaksARule)
{
    CMessage message;
    EXPECT_TRUE(Decode(Frame(63, 25, 76, {}), message)) << "the last valid manager and command";

    EXPECT_FALSE(Decode(Frame(64, 25, 5, {}), message)) << "manager 64";
    EXPECT_FALSE(Decode(Frame(255, 25, 5, {}), message)) << "manager 255";
    EXPECT_FALSE(Decode(Frame(41, 25, 77, {}), message)) << "command 77";
    EXPECT_FALSE(Decode(Frame(41, 25, 0xFFFF, {}), message)) << "command 65535";
    for (int reserved = 16; reserved < 20; ++reserved)
    {
        Bytes frame = Frame(41, 25, 5, {});
        frame[reserved] = 0x01;
        EXPECT_FALSE(Decode(frame, message)) << "reserved byte " << reserved;
    }

    Bytes limit = Frame(41, 10, 71, Bytes(1500, 0xAA));
    EXPECT_FALSE(Decode(limit, message)) << "payload length 1500";
    Bytes below = Frame(41, 10, 71, Bytes(1499, 0xAA));
    ASSERT_TRUE(Decode(below, message));
    EXPECT_EQ(message.GetValue().GetRawSize(), 1499u);

    const Bytes header = Frame(41, 1, 5, {1, 2, 3, 4});
    for (size_t size = 0; size < 24; ++size)
    {
        CMessage untouched(MANAGER_CUE, COMMAND_GET_LABEL);
        EXPECT_FALSE(CMessageFrame::Decode(header.data(), size, untouched)) << size << " bytes";
        EXPECT_EQ(untouched.GetManager(), 43u) << "a dropped frame leaves the record alone";
    }
    EXPECT_FALSE(CMessageFrame::Decode(nullptr, 40, message));

    Bytes trailing = header;
    trailing.push_back(0x99);
    ASSERT_TRUE(Decode(trailing, message)) << "bytes after the payload are ignored";
    EXPECT_EQ(message.GetValue().GetUnsigned(), 0x04030201u);
    EXPECT_EQ(message.GetIndex0(), 1u);
    EXPECT_EQ(message.GetIndex1(), 2u);
    EXPECT_EQ(message.GetIndex2(), 3u);
    EXPECT_EQ(message.GetSequence(), 0x1234u);
}

TEST(MessageFrame, ReaderIsLenientWithinAValidFrame)
{
    // Only the low 6 bits of the tag byte count.
    EXPECT_EQ(DecodedValue(0x41, {5, 0, 0, 0}).GetType(), VALUE_UNSIGNED);
    EXPECT_EQ(DecodedValue(0xC3, {0, 0, 0x80, 0x3F}).GetFloat(), 1.0f);

    // Text: taken only with its NUL, whatever its first byte; it ends at the first NUL.
    const CMessageValue unterminated = DecodedValue(0, {'a', 'b'});
    EXPECT_EQ(unterminated.GetType(), VALUE_STRING);
    EXPECT_EQ(unterminated.GetString(), "");
    EXPECT_EQ(DecodedValue(0, {}).GetString(), "");
    EXPECT_EQ(DecodedValue(0, {0xC3, 0xA9, 't', 0x00}).GetString(), "\xC3\xA9t");
    EXPECT_EQ(DecodedValue(0, {'a', 0x00, 'b', 0x00}).GetString(), "a");
    // A controller's Latin-1 label reaches the model as UTF-8.
    EXPECT_EQ(DecodedValue(0, {'C', 'a', 'f', 0xE9, 0x00}).GetString(), "Caf\xC3\xA9");

    // Fixed-size kinds read missing bytes as zero.
    EXPECT_EQ(DecodedValue(1, {0x34, 0x12}).GetUnsigned(), 0x1234u);
    EXPECT_EQ(DecodedValue(5, {0x01}).GetU64(), 1u);
    EXPECT_EQ(DecodedValue(1, {}).GetUnsigned(), 0u);
    EXPECT_TRUE(DecodedValue(2, {0, 0, 0, 0x80}).GetBool());
    EXPECT_FALSE(DecodedValue(2, {}).GetBool());

    // A NaN float reads as 0.
    EXPECT_EQ(DecodedValue(3, {0x00, 0x00, 0xC0, 0x7F}).GetFloat(), 0.0f);

    // A coordinate travels unclamped.
    const CCoordinate far = DecodedValue(6, {0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x40, 0xC0}).GetCoordinate();
    EXPECT_EQ(far.GetX(), 2.0f);
    EXPECT_EQ(far.GetY(), -3.0f);

    // Time at 10-ms resolution.
    const CTime time = DecodedValue(9, {0xC0, 0xD0, 0x38, 0x00}).GetTime();  // 3,723,456 ms
    EXPECT_EQ(time.GetHours(), 1u);
    EXPECT_EQ(time.GetMinutes(), 2u);
    EXPECT_EQ(time.GetSecondField(), 3u);
    EXPECT_EQ(time.GetMillisecondField(), 450u);

    // Tags without a kind carry nothing.
    for (uint8_t tag : {4, 11, 17, 23, 25, 26, 40, 63})
    {
        const CMessageValue value = DecodedValue(tag, {1, 2, 3, 4});
        EXPECT_EQ(value.GetType(), VALUE_NONE) << int(tag);
    }

    // Raw: exactly the payload, an empty one included.
    const CMessageValue emptyRaw = DecodedValue(10, {});
    EXPECT_EQ(emptyRaw.GetType(), VALUE_RAW);
    EXPECT_EQ(emptyRaw.GetRawSize(), 0u);
}

TEST(MessageFrame, SenderRefusesPayloadsBeyondItsBuffer)
{
    CMessage message(MANAGER_FIXTURE, COMMAND_SET_PERSONALITY);
    message.SetValue(CMessageValue(std::string(1003, 'p')));
    Bytes frame;
    ASSERT_TRUE(CMessageFrame::Encode(message, frame));
    EXPECT_EQ(frame.size(), 1024u);

    message.SetValue(CMessageValue(std::string(1004, 'p')));
    EXPECT_FALSE(CMessageFrame::Encode(message, frame));
    EXPECT_TRUE(frame.empty());
}
