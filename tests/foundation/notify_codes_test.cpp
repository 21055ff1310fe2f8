#include "foundation/notify_codes.h"

#include <gtest/gtest.h>

TEST(NotifyCodes, NamedCodesPrintTheirNames)
{
    EXPECT_EQ(GetNotifyName(NOTIFY_UNKNOWN), "NOTIFY_UNKNOWN");
    EXPECT_EQ(GetNotifyName(6), "NOTIFY_RELEASE");
    EXPECT_EQ(GetNotifyName(71), "NOTIFY_PROGRESS");
    EXPECT_EQ(GetNotifyName(141), "NOTIFY_CATAGORY");
    EXPECT_EQ(GetNotifyName(163), "NOTIFY_INSERT");
    EXPECT_EQ(GetNotifyName(500), "NOTIFY_POSITION");
    EXPECT_EQ(GetNotifyName(538), "NOTIFY_PRISM_SHAKE");
    EXPECT_EQ(GetNotifyName(1100), "NOTIFY_LABEL");
}

TEST(NotifyCodes, GapsAndNumbersPastTheRangesPrintAsDecimal)
{
    for (uint32_t code : {1u, 22u, 25u, 37u, 151u, 153u, 164u, 502u, 515u, 535u, 539u, 1099u, 1101u})
        EXPECT_EQ(GetNotifyName(code), std::to_string(code));
    EXPECT_EQ(GetNotifyName(0xFFFFFFFFu), "4294967295");
}

TEST(NotifyCodes, EveryNameBeginsWithThePrefixAndThereAreNinetyTwo)
{
    int named = 0;
    for (uint32_t code = 0; code <= 1200; ++code)
    {
        const std::string name = GetNotifyName(code);
        if (name != std::to_string(code))
        {
            EXPECT_EQ(name.rfind("NOTIFY_", 0), 0u) << code;
            ++named;
        }
    }
    EXPECT_EQ(named, 92);
}
