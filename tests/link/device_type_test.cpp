#include "link/device_type.h"

#include <gtest/gtest.h>

TEST(DeviceType, NamesAndKeys)
{
    EXPECT_EQ(DeviceTypeName(DEVICE_TYPE_KDX1), "KDX-1");
    EXPECT_EQ(DeviceTypeName(DEVICE_TYPE_MUREL2), "Murel-2");
    EXPECT_EQ(DeviceTypeName(11), "-");
    EXPECT_EQ(DeviceTypeKey(1), "tanzo");
    EXPECT_EQ(DeviceTypeKey(3), "lumivopro");
    EXPECT_EQ(DeviceTypeKey(8), "");
    EXPECT_EQ(DeviceTypeKey(200), "");
}

TEST(DeviceType, FromNameIgnoresCaseButNotLength)
{
    EXPECT_EQ(DeviceTypeFromName("kdx-2"), 1u);
    EXPECT_EQ(DeviceTypeFromName("Lumivo"), 2u);
    EXPECT_EQ(DeviceTypeFromName("LUMIVOPR"), 3u);
    EXPECT_EQ(DeviceTypeFromName("LumivoPrX"), 11u);
    EXPECT_EQ(DeviceTypeFromName("Murel-1"), 9u);
    EXPECT_EQ(DeviceTypeFromName(""), 11u);
    for (uint32_t type = 0; type < 11; ++type)
        EXPECT_EQ(DeviceTypeFromName(DeviceTypeName(type)), type);
}
