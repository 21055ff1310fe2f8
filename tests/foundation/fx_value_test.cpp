#include "foundation/fx_value.h"

#include <gtest/gtest.h>

TEST(FxValue, TextShowsNameSizeSignedSpeedAndPhase)
{
    CFxValue fx;
    EXPECT_EQ(fx.ToString(), "None 0 +0 0");
    fx.SetShape(FX_SHAPE_CIRCLE);
    fx.SetSize(128);
    fx.SetSpeed(-20);
    EXPECT_EQ(fx.ToString(), "Circle 128 -20 0");
    fx.SetShape(FX_SHAPE_INVERSED_RAMP);
    fx.SetSpeed(5);
    fx.SetPhase(255);
    EXPECT_EQ(fx.ToString(), "Inversed Ramp 128 +5 255");
    fx.SetShape(13);
    EXPECT_EQ(fx.ToString(), "Unknown 128 +5 255");
    EXPECT_STREQ(FxShapeName(12), "Full Twinkle");
    EXPECT_STREQ(FxShapeName(0xFFFFFFFFu), "Unknown");
}

TEST(FxValue, SettersKeepTheLowByte)
{
    CFxValue fx;
    fx.SetSize(0x1FF);
    fx.SetSpeed(-129);
    fx.SetPhase(256);
    fx.SetShape(0x10006);
    EXPECT_EQ(fx.GetSize(), 255);
    EXPECT_EQ(fx.GetSpeed(), 127);
    EXPECT_EQ(fx.GetPhase(), 0);
    EXPECT_EQ(fx.GetShape(), 0x10006u);
}

TEST(FxValue, WireIsFourBytesWithTheShapeAsOneByte)
{
    CFxValue fx;
    fx.SetShape(FX_SHAPE_FULL_TWINKLE);
    fx.SetSize(255);
    fx.SetSpeed(-127);
    fx.SetPhase(200);
    uint8_t wire[CFxValue::kWireSize];
    ASSERT_EQ(fx.WriteWire(wire), 4);
    EXPECT_EQ(wire[0], 12);    // shape
    EXPECT_EQ(wire[1], 255);   // size
    EXPECT_EQ(wire[2], 0x81);  // speed -127, two's complement
    EXPECT_EQ(wire[3], 200);   // phase
    CFxValue back;
    back.ReadWire(wire);
    EXPECT_EQ(back, fx);

    fx.SetShape(0x107);
    fx.WriteWire(wire);
    back.ReadWire(wire);
    EXPECT_EQ(back.GetShape(), 7u);
    EXPECT_NE(back, fx);
}

TEST(FxValue, ShapeChoicesPerGroup)
{
    EXPECT_EQ(FxShapeCountOfGroup(1), 6u);
    EXPECT_EQ(FxShapeCountOfGroup(3), 7u);
    EXPECT_EQ(FxShapeCountOfGroup(5), 5u);
    for (uint32_t group : {0u, 2u, 4u, 6u, 99u})
        EXPECT_EQ(FxShapeCountOfGroup(group), 1u) << group;

    for (uint32_t choice = 0; choice < 6; ++choice)
        EXPECT_EQ(FxShapeOfGroup(1, choice), choice);
    const uint32_t position[] = {FX_SHAPE_NONE, FX_SHAPE_CIRCLE, FX_SHAPE_EIGHT, FX_SHAPE_SQUARE,
                                 FX_SHAPE_PAN, FX_SHAPE_TILT, FX_SHAPE_RANDOM};
    for (uint32_t choice = 0; choice < 7; ++choice)
        EXPECT_EQ(FxShapeOfGroup(3, choice), position[choice]);
    const uint32_t colourMix[] = {FX_SHAPE_NONE, FX_SHAPE_RAINBOW, FX_SHAPE_RANDOM, FX_SHAPE_FULL_SINUS,
                                  FX_SHAPE_FULL_TWINKLE};
    for (uint32_t choice = 0; choice < 5; ++choice)
        EXPECT_EQ(FxShapeOfGroup(5, choice), colourMix[choice]);

    EXPECT_EQ(FxShapeOfGroup(5, 5), FX_SHAPE_NONE);
    EXPECT_EQ(FxShapeOfGroup(1, 6), FX_SHAPE_NONE);
    EXPECT_EQ(FxShapeOfGroup(2, 0), FX_SHAPE_NONE);
    EXPECT_EQ(FxShapeOfGroup(2, 1), FX_SHAPE_NONE);
    EXPECT_EQ(FxShapeOfGroup(7, 1), FX_SHAPE_NONE);
}
