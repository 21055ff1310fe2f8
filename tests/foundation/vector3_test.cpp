#include "foundation/vector3.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Vector3, PointsLandOnPixelCentres)
{
    EXPECT_EQ(CVector3(CPoint(10, 20)), CVector3(10.5f, 20.5f, 0.0f));
    CVector3 v(1, 2, 3);
    v = CPoint(-1, 0);
    EXPECT_EQ(v, CVector3(-0.5f, 0.5f, 0.0f));
}

TEST(Vector3, AngleIsUnsignedDegreesAndZeroWithoutDirection)
{
    EXPECT_FLOAT_EQ(CVector3::AngleTo(CVector3(1, 0, 0), CVector3(0, 1, 0)), 90.0f);
    EXPECT_FLOAT_EQ(CVector3::AngleTo(CVector3(0, 1, 0), CVector3(1, 0, 0)), 90.0f);
    EXPECT_FLOAT_EQ(CVector3::AngleTo(CVector3(0, 1, 0), CVector3(0, -1, 0)), 180.0f);
    EXPECT_EQ(CVector3::AngleTo(CVector3(), CVector3(1, 0, 0)), 0.0f);
    // A normalised zero vector is NaN, and still gives no angle.
    CVector3 zero;
    zero.Normalise();
    EXPECT_TRUE(std::isnan(zero.GetX()));
    EXPECT_NE(zero, zero);
    EXPECT_EQ(zero.Length(), 0.0f);
    EXPECT_EQ(CVector3::AngleTo(zero, CVector3(1, 0, 0)), 0.0f);
}

TEST(Vector3, NormaliseChangesTheVectorItself)
{
    CVector3 v(3, 4, 0);
    const CVector3 result = v.Normalise();
    EXPECT_FLOAT_EQ(v.GetX(), 0.6f);
    EXPECT_FLOAT_EQ(v.GetY(), 0.8f);
    EXPECT_EQ(result, v);
    EXPECT_FLOAT_EQ(CVector3(3, 4, 12).Length(), 13.0f);
}

TEST(Vector3, CrossAndUnitNormalFollowTheRightHand)
{
    EXPECT_EQ(CVector3::Cross(CVector3(1, 0, 0), CVector3(0, 1, 0)), CVector3(0, 0, 1));
    EXPECT_EQ(CVector3::UnitNormal(CVector3(2, 0, 0), CVector3(0, 0, 3)), CVector3(0, -1, 0));
    EXPECT_FLOAT_EQ(CVector3::Dot(CVector3(1, 2, 3), CVector3(4, -5, 6)), 12.0f);
}

TEST(Vector3, Rotations)
{
    CVector3 v(1, 0, 0);
    const CVector3 result = CVector3::RotateAroundAxis(v, 90.0f, 0, 0, 1);
    EXPECT_NEAR(v.GetX(), 0.0f, 1e-6);
    EXPECT_NEAR(v.GetY(), 1.0f, 1e-6);
    EXPECT_NEAR(v.GetZ(), 0.0f, 1e-6);
    EXPECT_EQ(result, v);

    CVector3 w(0, 1, 0);
    CVector3::RotateAroundAxis(w, 90.0f, 1, 0, 0);
    EXPECT_NEAR(w.GetZ(), 1.0f, 1e-6);

    CVector3 p(1, 0, 7);
    p.RotateXY(180.0f);
    EXPECT_NEAR(p.GetX(), -1.0f, 1e-6);
    EXPECT_NEAR(p.GetY(), 0.0f, 1e-6);
    EXPECT_EQ(p.GetZ(), 7.0f);
}
