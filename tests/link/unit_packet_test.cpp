#include "link/unit_packet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

CDevicePacket Decoded(const Bytes& datagram)
{
    CDevicePacket packet;
    EXPECT_TRUE(packet.Decode(datagram.data(), datagram.size()));
    return packet;
}

Bytes Encoded(const CDevicePacket& packet)
{
    Bytes out(packet.GetWireLength());
    packet.Encode(out.data());
    return out;
}

Bytes Header(uint16_t command, uint16_t index1, uint16_t index2, uint8_t length)
{
    return {
        uint8_t(command >> 8), uint8_t(command),  // command, big-endian
        0x00, 0x00,                               // index0
        uint8_t(index1 >> 8), uint8_t(index1),    // index1
        uint8_t(index2 >> 8), uint8_t(index2),    // index2
        length,                                   // length byte
    };
}
}  // namespace

TEST(DevicePacket, EncodesTheBigEndianHeaderThenThePayload)
{
    CDevicePacket packet(0x0123);
    packet.SetIndexes(0x0405, 0x0607, 0x0809);
    const uint8_t subnet[6] = {255, 255, 255, 0, 0x34, 0x12};
    packet.SetData(subnet, sizeof(subnet));
    const Bytes expected = {
        0x01, 0x23,                    // command
        0x04, 0x05,                    // index0
        0x06, 0x07,                    // index1
        0x08, 0x09,                    // index2
        0x06,                          // length
        0xFF, 0xFF, 0xFF, 0x00,        // payload: mask octets
        0x34, 0x12,                    //          u16 little-endian as the caller wrote it
    };
    EXPECT_EQ(packet.GetWireLength(), 15u);
    EXPECT_EQ(Encoded(packet), expected);
    EXPECT_EQ(Decoded(expected), packet);
}

TEST(DevicePacket, CommandTravelsAsItsLow16Bits)
{
    CDevicePacket packet(0x10011);
    EXPECT_EQ(Encoded(packet), Header(0x0011, 0, 0, 0));
    EXPECT_EQ(Decoded(Encoded(packet)).GetCommand(), 0x11u);
}

TEST(DevicePacket, OrdinaryPayloadLengthIsWhatArrivedNotTheHeaderByte)
{
    // GetLabel, header length 5, no payload at all.
    const CDevicePacket empty = Decoded({0x00, 0x11, 0, 0, 0, 0, 0, 0, 0x05});
    EXPECT_EQ(empty.GetCommand(), 17u);
    EXPECT_EQ(empty.GetLength(), 0u);
    EXPECT_EQ(empty.GetDataText(), "");

    // GetLabel, header length 0, 11 bytes after the header.
    Bytes datagram = Header(17, 0, 0, 0);
    const std::string label = "Stage right";
    datagram.insert(datagram.end(), label.begin(), label.end());
    ASSERT_EQ(datagram.size(), 20u);
    const CDevicePacket text = Decoded(datagram);
    EXPECT_EQ(text.GetLength(), 11u);
    EXPECT_EQ(text.GetDataText(), label);

    // More than 249 bytes are cut to 249 and a NUL follows them.
    Bytes longer = Header(17, 0, 0, 0);
    longer.insert(longer.end(), 300, 'x');
    const CDevicePacket cut = Decoded(longer);
    EXPECT_EQ(cut.GetLength(), 249u);
    EXPECT_EQ(cut.GetDataText(), std::string(249, 'x'));
}

TEST(DevicePacket, ShortDatagramsUseTheTextFormOrFail)
{
    CDevicePacket packet;
    const std::string blink = "blink12";
    ASSERT_TRUE(packet.Decode(reinterpret_cast<const uint8_t*>(blink.data()), blink.size()));
    EXPECT_EQ(packet.GetCommand(), 22u);
    EXPECT_EQ(packet.GetIndex0() + packet.GetIndex1() + packet.GetIndex2(), 0);
    EXPECT_EQ(packet.GetLength(), 2u);
    EXPECT_EQ(packet.GetDataText(), "12");

    const std::string hello = "Hello12";
    ASSERT_TRUE(packet.Decode(reinterpret_cast<const uint8_t*>(hello.data()), hello.size()));
    EXPECT_EQ(packet.GetCommand(), 300u);

    const std::string setip = "SETIP";
    ASSERT_TRUE(packet.Decode(reinterpret_cast<const uint8_t*>(setip.data()), setip.size()));
    EXPECT_EQ(packet.GetCommand(), 2u);
    EXPECT_EQ(packet.GetLength(), 0u);

    const uint8_t four[4] = {0, 17, 0, 0};
    CDevicePacket untouched(99);
    EXPECT_FALSE(untouched.Decode(four, sizeof(four)));
    EXPECT_EQ(untouched.GetCommand(), 99u);
    EXPECT_FALSE(untouched.DecodeText(four, 0));
}

TEST(DevicePacket, BlockCommandsCountUnitsOf512Bytes)
{
    Bytes one = Header(177, 0, 0, 1);
    for (int i = 0; i < 600; ++i)
        one.push_back(uint8_t(i));
    const CDevicePacket block = Decoded(one);
    EXPECT_EQ(block.GetLength(), 1u);
    EXPECT_EQ(block.GetData()[511], uint8_t(511));
    EXPECT_EQ(block.GetData()[512], 0u) << "bytes beyond the unit are not taken";

    Bytes three = Header(177, 0, 0, 3);
    three.insert(three.end(), 1600, 0xAB);
    const CDevicePacket capped = Decoded(three);
    EXPECT_EQ(capped.GetLength(), 3u);
    EXPECT_EQ(capped.GetData()[CDevicePacket::kDataSize - 1], 0xAB);

    // A block that promises more than arrived reads the missing part as zeros.
    Bytes shortBlock = Header(220, 0, 0, 2);
    shortBlock.insert(shortBlock.end(), 10, 0xCD);
    const CDevicePacket partial = Decoded(shortBlock);
    EXPECT_EQ(partial.GetData()[9], 0xCD);
    EXPECT_EQ(partial.GetData()[10], 0x00);

    CDevicePacket out(220);
    uint8_t bytes[CDevicePacket::kBlockSize];
    for (size_t i = 0; i < sizeof(bytes); ++i)
        bytes[i] = uint8_t(i * 7);
    out.SetBlock(bytes);
    EXPECT_EQ(out.GetLength(), 2u);
    EXPECT_EQ(out.GetWireLength(), 1033u);
    const Bytes wire = Encoded(out);
    EXPECT_EQ(wire[8], 2u);
    EXPECT_EQ(wire[9 + 1023], uint8_t(1023 * 7));
}

TEST(DevicePacket, LongFormIsMarkedByIndex2AndLength)
{
    // Received: only command 232 knows the long form.
    Bytes marked = Header(232, 10, 190, 239);
    for (int i = 0; i < 12; ++i)
        marked.push_back(uint8_t(0x40 + i));
    const CDevicePacket longForm = Decoded(marked);
    EXPECT_EQ(longForm.GetIndex1(), 10u);
    EXPECT_EQ(longForm.GetLength(), 239u);
    EXPECT_EQ(longForm.GetData()[9], 0x49);
    EXPECT_EQ(longForm.GetData()[10], 0x00) << "only index1 bytes are taken";

    Bytes unmarked = Header(232, 10, 0, 7);
    unmarked.insert(unmarked.end(), 12, 0x55);
    const CDevicePacket plain = Decoded(unmarked);
    EXPECT_EQ(plain.GetLength(), 7u) << "the header length stays";
    EXPECT_EQ(plain.GetData()[0], 0x00) << "and nothing is copied";

    // A count beyond what arrived is shortened to the bytes that are there.
    Bytes overlong = Header(232, 5000, 190, 239);
    overlong.insert(overlong.end(), 20, 0x66);
    const CDevicePacket shortened = Decoded(overlong);
    EXPECT_EQ(shortened.GetIndex1(), 20u);
    EXPECT_EQ(shortened.GetData()[19], 0x66);
    EXPECT_EQ(shortened.GetData()[20], 0x00);

    // Sent: 24, 174 and 233 use the marks; received, 24 is an ordinary payload.
    CDevicePacket upload(24);
    const std::vector<uint8_t> image(300, 0x77);
    upload.SetLongData(image.data(), uint32_t(image.size()));
    EXPECT_EQ(upload.GetIndex1(), 300u);
    EXPECT_EQ(upload.GetIndex2(), 190u);
    EXPECT_EQ(upload.GetLength(), 239u);
    EXPECT_EQ(upload.GetWireLength(), 309u);
    const CDevicePacket back = Decoded(Encoded(upload));
    EXPECT_EQ(back.GetLength(), 249u) << "an ordinary payload cut at 249 bytes";

    CDevicePacket huge(233);
    const std::vector<uint8_t> tooMuch(2000, 1);
    huge.SetLongData(tooMuch.data(), uint32_t(tooMuch.size()));
    EXPECT_EQ(huge.GetIndex1(), CDevicePacket::kDataSize);
}

TEST(DevicePacket, SettersLimitOrdinaryPayloads)
{
    CDevicePacket packet(18);
    packet.SetDataText(std::string(300, 'a'));
    EXPECT_EQ(packet.GetLength(), 249u);
    EXPECT_EQ(packet.GetDataText().size(), 249u);

    packet.SetDataText("abcdef");
    packet.SetDataText("ab");
    EXPECT_EQ(packet.GetLength(), 2u);
    EXPECT_EQ(packet.GetDataText(), "ab") << "a NUL follows the text";

    packet.SetData(nullptr, 0);
    EXPECT_EQ(packet.GetLength(), 0u);

    const std::vector<uint8_t> range(400, 3);
    const uint8_t* stop = packet.SetDataFromRange(range.data(), range.data() + range.size());
    EXPECT_EQ(stop, range.data() + 249);
    const uint8_t* end = packet.SetDataFromRange(range.data(), range.data() + 4);
    EXPECT_EQ(end, range.data() + 4);
    EXPECT_EQ(packet.GetLength(), 4u);
}

TEST(DevicePacket, DataTextNeverReadsPastTheDataArea)
{
    CDevicePacket packet(232);
    const std::vector<uint8_t> full(CDevicePacket::kDataSize, 'z');
    packet.SetLongData(full.data(), uint32_t(full.size()));
    EXPECT_EQ(packet.GetDataText().size(), CDevicePacket::kDataSize);
}

TEST(DevicePacket, MatchRule)
{
    CDevicePacket getLabel(17);
    CDevicePacket anyLabel(17);
    anyLabel.SetDataText("Front of house");
    EXPECT_TRUE(getLabel.IsAnsweredBy(anyLabel)) << "a request without payload matches on the header";

    CDevicePacket otherIndex(17);
    otherIndex.SetIndexes(1, 0, 0);
    EXPECT_FALSE(getLabel.IsAnsweredBy(otherIndex));
    EXPECT_FALSE(getLabel.IsAnsweredBy(CDevicePacket(18)));

    CDevicePacket setLabel(18);
    setLabel.SetDataText("ab");
    CDevicePacket echo(18);
    echo.SetDataText("ab");
    CDevicePacket different(18);
    different.SetDataText("ac");
    CDevicePacket longer(18);
    longer.SetDataText("abc");
    EXPECT_TRUE(setLabel.IsAnsweredBy(echo));
    EXPECT_FALSE(setLabel.IsAnsweredBy(different));
    EXPECT_TRUE(setLabel.IsAnsweredBy(longer)) << "another length: the header decides";

    CDevicePacket verify(26);
    verify.SetDataText("xy");
    CDevicePacket verifyReply(26);
    verifyReply.SetDataText("zz");
    EXPECT_TRUE(verify.IsAnsweredBy(verifyReply));
}

TEST(DevicePacket, EqualityLooksAtTheUsedBytesOnly)
{
    CDevicePacket a(18);
    a.SetDataText("abcdef");
    a.SetDataText("ab");
    CDevicePacket b(18);
    b.SetDataText("ab");
    EXPECT_EQ(a, b);
    b.SetIndexes(0, 0, 1);
    EXPECT_NE(a, b);
}

TEST(DeviceCommandNames, TableAndLookup)
{
    int named = 0;
    for (int code = 0; code < 300; ++code)
    {
        if (DeviceCommandName(code) != "????")
            ++named;
    }
    EXPECT_EQ(named, 90);
    EXPECT_EQ(DeviceCommandName(0), "GetMac");
    EXPECT_EQ(DeviceCommandName(22), "Blink");
    EXPECT_EQ(DeviceCommandName(107), "ActionTaskSetParameterString1");
    EXPECT_EQ(DeviceCommandName(296), "ResetUnit");
    EXPECT_EQ(DeviceCommandName(30), "????");
    EXPECT_EQ(DeviceCommandName(300), "-");
    EXPECT_EQ(DeviceCommandName(-1), "????");
    EXPECT_EQ(DeviceCommandName(234), "????");

    EXPECT_EQ(DeviceCommandFromName("setip"), 2u);
    EXPECT_EQ(DeviceCommandFromName("GETMAC"), 0u);
    EXPECT_EQ(DeviceCommandFromName("GetMacX"), 300u);
    EXPECT_EQ(DeviceCommandFromName(""), 300u);
    for (int code = 0; code < 300; ++code)
    {
        const std::string name = DeviceCommandName(code);
        if (name != "????")
        {
            EXPECT_EQ(DeviceCommandFromName(name), uint32_t(code)) << name;
        }
    }
}
