#include "tools/standin/discovery_answer.h"

#include "link/discovery.h"

#include <gtest/gtest.h>

using standin::BuildDiscoveryAnswer;
using standin::SAnswerQuirks;

namespace
{
bool Parse(const std::string& text, CDiscoveredDevice& device)
{
    return ParseDiscoveryAnswer(reinterpret_cast<const uint8_t*>(text.data()), text.size(), device);
}
}  // namespace

TEST(StandinDiscovery, AnswerIsTheControllersXml)
{
    const std::string answer = BuildDiscoveryAnswer("KDX-1", "192.168.77.2", 16946);
    EXPECT_EQ(answer, "<?xml version=\"1.0\" ?> <zevral_identify label=\"KDX-1\"><ip>192.168.77.2</ip>"
                      "<port>16946</port></zevral_identify>");
    CDiscoveredDevice device;
    ASSERT_TRUE(Parse(answer, device));
    EXPECT_EQ(device.address, CIpAddress(192, 168, 77, 2));
    EXPECT_EQ(device.address.GetPort(), 16946u);
    EXPECT_EQ(device.type, 0u);
}

TEST(StandinDiscovery, QuirksSpoilTheAnswerAsTheReaderExpects)
{
    CDiscoveredDevice device;
    SAnswerQuirks quirks;
    quirks.lowerCasePrefix = true;
    EXPECT_TRUE(Parse(BuildDiscoveryAnswer("Murel-2", "10.0.0.2", 5, quirks), device));

    quirks = SAnswerQuirks();
    quirks.capitalLabelWord = true;
    const std::string capitals = BuildDiscoveryAnswer("KDX-1", "10.0.0.2", 5, quirks);
    EXPECT_TRUE(IsDiscoveryAnswer(reinterpret_cast<const uint8_t*>(capitals.data()), capitals.size()));
    EXPECT_FALSE(Parse(capitals, device));

    quirks = SAnswerQuirks();
    quirks.badAddress = true;
    EXPECT_FALSE(Parse(BuildDiscoveryAnswer("KDX-1", "10.0.0.2", 5, quirks), device));

    quirks = SAnswerQuirks();
    quirks.emptyPort = true;
    EXPECT_FALSE(Parse(BuildDiscoveryAnswer("KDX-1", "10.0.0.2", 5, quirks), device));

    EXPECT_FALSE(Parse(BuildDiscoveryAnswer("Lumivo", "10.0.0.2", 5), device));
}
