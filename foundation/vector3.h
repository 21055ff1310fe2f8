#pragma once

#include "foundation/point.h"

// A small float vector for on-screen geometry (the rotary knob turns pointer drags into angles
// with it). Made from a pixel, it points at that pixel's centre.
class CVector3
{
public:
    CVector3() = default;
    CVector3(float x, float y, float z) : m_x(x), m_y(y), m_z(z) {}
    // (x + 0.5, y + 0.5, 0).
    CVector3(const CPoint& point);
    CVector3& operator=(const CPoint& point) { return *this = CVector3(point); }

    CVector3 operator+(const CVector3& other) const;
    CVector3 operator-(const CVector3& other) const;
    CVector3 operator*(float scalar) const;
    CVector3 operator/(float scalar) const;
    CVector3 Negate() const { return CVector3(-m_x, -m_y, -m_z); }
    CVector3& operator+=(const CVector3& other);
    CVector3& operator-=(const CVector3& other);
    CVector3& operator*=(float scalar);

    // Exact comparison of all three components; a NaN component is never equal.
    bool operator==(const CVector3& other) const;
    bool operator!=(const CVector3& other) const { return !(*this == other); }

    static float Dot(const CVector3& a, const CVector3& b);
    static CVector3 Cross(const CVector3& a, const CVector3& b);
    static CVector3 UnitNormal(const CVector3& a, const CVector3& b);

    // 0 when a component is NaN.
    float Length() const;
    float LengthSquared() const;
    // Divides this vector by its length (a zero vector becomes NaN) and returns the result.
    CVector3 Normalise();

    // The unsigned angle between two directions, 0..pi; 0 when either has no direction.
    static float AngleRadians(const CVector3& a, const CVector3& b);
    // The same in degrees, 0..180: a caller that needs a turning sense supplies it itself.
    static float AngleTo(const CVector3& a, const CVector3& b);
    // atan(x / y).
    float AtanRatio() const;

    // Rotates the vector in place about the unit axis (x, y, z) and returns the result.
    static CVector3 RotateAroundAxis(CVector3& vector, float degrees, float x, float y, float z);
    // Rotation in the x-y plane; z unchanged.
    void RotateXY(float degrees);

    float GetX() const { return m_x; }
    float GetY() const { return m_y; }
    float GetZ() const { return m_z; }
    void SetX(float x) { m_x = x; }
    void SetY(float y) { m_y = y; }
    void SetZ(float z) { m_z = z; }

private:
    float m_x = 0.0f;
    float m_y = 0.0f;
    float m_z = 0.0f;
};
