#include "link/relayed_notification.h"

#include <gtest/gtest.h>

TEST(RelayedNotification, ConstructorsFillWhatTheyAreNotGiven)
{
    EXPECT_EQ(CProxyMessage(EProxyObjectClass(5)).GetMessage(), 393u);
    EXPECT_EQ(CProxyMessage(EProxyMessage(7)).GetObjectClass(), 168u);
}

TEST(RelayedNotification, IndexesAndClear)
{
    CProxyMessage record;
    record.SetIndex(6, 42);
    record.SetIndex(7, 1);
    record.SetIndex(-1, 1);
    EXPECT_EQ(record.GetIndex6(), 42);
    EXPECT_EQ(record.GetIndex(7), -1);
    record.SetIndex0(3);
    record.SetValue(CValue(2u));
    record.SetSecondValue(CValue("x"));
    record.SetAddress(CIpAddress(10, 0, 0, 1));
    EXPECT_EQ(record.GetFirstValue(), CValue(2u));
    record.Clear();
    EXPECT_EQ(record.GetValue().GetType(), CValue::kUnknown);
    EXPECT_EQ(record.GetSecondValue().GetType(), CValue::kUnknown);
    EXPECT_EQ(record.GetIndex0(), 3);
    EXPECT_EQ(record.GetAddress(), CIpAddress(10, 0, 0, 1));
    record.ClearIndexes();
    EXPECT_EQ(record.GetIndex0(), -1);
    EXPECT_EQ(record.GetIndex6(), -1);
}

TEST(RelayedNotification, TextForm)
{
    EXPECT_EQ(CProxyMessage().ToText(), "168|393|-1|-1|-1|-1|-1|-1|-1|Unknown|-|Unknown|-|");
    CProxyMessage record(EProxyObjectClass(41), EProxyMessage(393 + 65536));
    record.SetIndex2(12);
    record.SetFirstValue(CValue(0.5f));
    record.SetSecondValue(CValue("go"));
    EXPECT_EQ(record.ToText(), "41|393|-1|-1|12|-1|-1|-1|-1|Float|0.5000|String|go|");

    CProxyMessage back;
    EXPECT_TRUE(back.FromText(record.ToText()));
    EXPECT_EQ(back.GetObjectClass(), 41u);
    EXPECT_EQ(back.GetMessage(), 393u);
    EXPECT_EQ(back.GetIndex2(), 12);
    EXPECT_EQ(back.GetFirstValue(), CValue(0.5f));
    EXPECT_EQ(back.GetSecondValue(), CValue("go"));
    EXPECT_EQ(back.ToText(), record.ToText());
}

TEST(RelayedNotification, FromTextStopsWhereTheTextEnds)
{
    CProxyMessage record;
    record.SetIndex0(9);
    record.SetFirstValue(CValue(1u));
    EXPECT_TRUE(record.FromText("5|7"));
    EXPECT_EQ(record.GetObjectClass(), 5u);
    EXPECT_EQ(record.GetMessage(), 7u);
    EXPECT_EQ(record.GetIndex0(), -1);
    EXPECT_EQ(record.GetFirstValue().GetType(), CValue::kUnknown);

    EXPECT_TRUE(record.FromText("5|7|-3|+4"));
    EXPECT_EQ(record.GetIndex0(), -3);
    EXPECT_EQ(record.GetIndex1(), 4);

    EXPECT_TRUE(record.FromText("1|2|0|0|0|0|0|0|0|Unsigned|17|Bool"));
    EXPECT_EQ(record.GetFirstValue(), CValue(17u));
    EXPECT_EQ(record.GetSecondValue().GetType(), CValue::kBool);
}

TEST(RelayedNotification, FieldsThatDoNotConvertFail)
{
    CProxyMessage record;
    for (const char* bad : {"x|7", "5|7|", "", "5|-7", "5|7|1x", "5|7|2147483648",
                            "4294967296|1", "1|2|0|0|0|0|0|0|0|Float|half|", "1|2|0|0|0|0|0|0|0||"}) {
        EXPECT_FALSE(record.FromText(bad)) << bad;
    }
    EXPECT_TRUE(record.FromText("5|7|-2147483648"));
    EXPECT_EQ(record.GetIndex0(), INT32_MIN);
}
