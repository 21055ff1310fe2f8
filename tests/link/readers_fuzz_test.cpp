// Feeds a million malformed datagrams to the three readers that face the network. Each datagram
// sits in a heap block of exactly its size, so a sanitizer build catches any read past its end.
#include "link/discovery.h"
#include "link/message_frame.h"
#include "link/unit_packet.h"
#include "tests/support/byte_mutator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

// A copy in a block of exactly the datagram's size.
std::unique_ptr<uint8_t[]> Exact(const Bytes& bytes)
{
    std::unique_ptr<uint8_t[]> block(new uint8_t[bytes.size() ? bytes.size() : 1]);
    if (!bytes.empty())
        std::memcpy(block.get(), bytes.data(), bytes.size());
    return block;
}

Bytes FrameTemplate(uint8_t tag, const Bytes& payload)
{
    Bytes frame = {41, tag, 24, 0, 3, 0, 0, 0, 0, 0, 0xFF, 0xFF,
                   uint8_t(payload.size()), uint8_t(payload.size() >> 8), 7, 0, 0, 0, 0, 0};
    for (uint8_t b : payload)
        frame.push_back(b);
    return frame;
}

Bytes TextBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}
}  // namespace

TEST(ReadersFuzz, LinkFramesNeverCrashAndKeepTheirRules)
{
    CMutator mutator(0x5EED01, CMessageFrame::kMaxDatagram);
    const std::vector<Bytes> seeds = {
        FrameTemplate(3, {0, 0, 0, 0x3F}),
        FrameTemplate(0, {'L', 'a', 'b', 0}),
        FrameTemplate(10, Bytes(800, 0x11)),
        FrameTemplate(24, Bytes(20, 0x22)),
        FrameTemplate(8, Bytes(10, 0x33)),
        FrameTemplate(6, Bytes(8, 0x44)),
        FrameTemplate(5, Bytes(3, 0x55)),
        FrameTemplate(9, {1, 2}),
    };
    size_t accepted = 0;
    for (int i = 0; i < 400000; ++i)
    {
        const Bytes datagram = mutator.Mutate(seeds[i % seeds.size()]);
        const auto block = Exact(datagram);
        CMessage message;
        if (!CMessageFrame::Decode(block.get(), datagram.size(), message))
            continue;
        ++accepted;
        ASSERT_LT(message.GetManager(), 64u);
        ASSERT_LT(message.GetCommand(), 77u);
        // Whatever was accepted can be sent again and reads back as the same record.
        Bytes again;
        if (CMessageFrame::Encode(message, again))
        {
            CMessage back;
            ASSERT_TRUE(CMessageFrame::Decode(again.data(), again.size(), back));
            ASSERT_TRUE(back.IsSameTarget(message));
            ASSERT_EQ(back.GetSequence(), message.GetSequence());
        }
    }
    EXPECT_GT(accepted, 1000u) << "the mutations should reach the payload readers";
}

TEST(ReadersFuzz, DiscoveryAnswersNeverCrash)
{
    CMutator mutator(0x5EED02, CMessageFrame::kMaxDatagram);
    const std::vector<Bytes> seeds = {
        TextBytes("<?xml version=\"1.0\" ?> <zevral_identify label=\"KDX-1\"><ip>192.168.77.2</ip>"
                  "<port>16946</port></zevral_identify>"),
        TextBytes("<?xml version=\"1.0\" ?> <zevral_identify label=\"Murel-2\"><ip>10.1.2.3</ip><port>-1"),
        TextBytes("<?xml version=\"1.0\" ?> <zevral_identify label=\""),
        TextBytes(kDiscoveryRequest),
    };
    size_t accepted = 0;
    for (int i = 0; i < 300000; ++i)
    {
        const Bytes datagram = mutator.Mutate(seeds[i % seeds.size()]);
        const auto block = Exact(datagram);
        CDiscoveredDevice device;
        if (ParseDiscoveryAnswer(block.get(), datagram.size(), device))
        {
            ++accepted;
            ASSERT_TRUE(IsAcceptedDeviceType(device.type));
            ASSERT_NE(device.address.ToUint32(), 0u);
        }
        IsDiscoveryRequest(block.get(), datagram.size());
    }
    EXPECT_GT(accepted, 100u);
}

TEST(ReadersFuzz, UnitPacketsNeverCrashAndReencodeWithinTheirData)
{
    CMutator mutator(0x5EED03, CMessageFrame::kMaxDatagram);
    auto header = [](uint16_t command, uint16_t index1, uint16_t index2, uint8_t length, size_t payload) {
        Bytes bytes = {uint8_t(command >> 8), uint8_t(command), 0, 0, uint8_t(index1 >> 8), uint8_t(index1),
                       uint8_t(index2 >> 8), uint8_t(index2), length};
        bytes.resize(bytes.size() + payload, 0x5A);
        return bytes;
    };
    const std::vector<Bytes> seeds = {
        header(17, 0, 0, 5, 11),
        header(177, 0, 0, 3, 1600),
        header(220, 0, 0, 2, 1024),
        header(232, 1074, 190, 239, 1074),
        header(232, 60000, 190, 239, 30),
        header(24, 300, 190, 239, 300),
        TextBytes("blink12"),
        TextBytes("SetIp"),
    };
    Bytes out(CDevicePacket::kHeaderSize + CDevicePacket::kDataSize);
    for (int i = 0; i < 300000; ++i)
    {
        const Bytes datagram = mutator.Mutate(seeds[i % seeds.size()]);
        const auto block = Exact(datagram);
        CDevicePacket packet;
        if (!packet.Decode(block.get(), datagram.size()))
        {
            ASSERT_LT(datagram.size(), 5u);
            continue;
        }
        ASSERT_LE(packet.GetWireLength(), out.size());
        packet.Encode(out.data());
        packet.GetDataText();
        CDevicePacket copy = packet;
        ASSERT_TRUE(copy.IsAnsweredBy(packet));
    }
}
