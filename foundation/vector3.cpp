#include "foundation/vector3.h"

#include <cmath>

namespace {
constexpr double kTwoPi = 6.283185307179586;

float Radians(float degrees)
{
    return float(degrees / 360.0 * kTwoPi);
}
}  // namespace

CVector3::CVector3(const CPoint& point)
    : m_x(float(point.GetX()) + 0.5f), m_y(float(point.GetY()) + 0.5f), m_z(0.0f)
{
}

CVector3 CVector3::operator+(const CVector3& other) const
{
    return CVector3(m_x + other.m_x, m_y + other.m_y, m_z + other.m_z);
}

CVector3 CVector3::operator-(const CVector3& other) const
{
    return CVector3(m_x - other.m_x, m_y - other.m_y, m_z - other.m_z);
}

CVector3 CVector3::operator*(float scalar) const
{
    return CVector3(m_x * scalar, m_y * scalar, m_z * scalar);
}

CVector3 CVector3::operator/(float scalar) const
{
    return CVector3(m_x / scalar, m_y / scalar, m_z / scalar);
}

CVector3& CVector3::operator+=(const CVector3& other)
{
    return *this = *this + other;
}

CVector3& CVector3::operator-=(const CVector3& other)
{
    return *this = *this - other;
}

CVector3& CVector3::operator*=(float scalar)
{
    return *this = *this * scalar;
}

bool CVector3::operator==(const CVector3& other) const
{
    return m_x == other.m_x && m_y == other.m_y && m_z == other.m_z;
}

float CVector3::Dot(const CVector3& a, const CVector3& b)
{
    return a.m_x * b.m_x + a.m_y * b.m_y + a.m_z * b.m_z;
}

CVector3 CVector3::Cross(const CVector3& a, const CVector3& b)
{
    return CVector3(a.m_y * b.m_z - a.m_z * b.m_y, a.m_z * b.m_x - a.m_x * b.m_z,
                    a.m_x * b.m_y - a.m_y * b.m_x);
}

CVector3 CVector3::UnitNormal(const CVector3& a, const CVector3& b)
{
    const CVector3 cross = Cross(a, b);
    return cross / cross.Length();
}

float CVector3::LengthSquared() const
{
    return m_x * m_x + m_y * m_y + m_z * m_z;
}

float CVector3::Length() const
{
    if (std::isnan(m_x) || std::isnan(m_y) || std::isnan(m_z))
        return 0.0f;
    return float(std::sqrt(double(LengthSquared())));
}

CVector3 CVector3::Normalise()
{
    *this = *this / Length();
    return *this;
}

float CVector3::AngleRadians(const CVector3& a, const CVector3& b)
{
    const float q = Dot(a, b) / (a.Length() * b.Length());
    // Also refuses NaN, which is what a direction without length gives.
    if (q >= -1.0f && q <= 1.0f)
        return std::acos(q);
    return 0.0f;
}

float CVector3::AngleTo(const CVector3& a, const CVector3& b)
{
    return float(AngleRadians(a, b) / kTwoPi * 360.0);
}

float CVector3::AtanRatio() const
{
    return std::atan(m_x / m_y);
}

CVector3 CVector3::RotateAroundAxis(CVector3& vector, float degrees, float x, float y, float z)
{
    const float theta = Radians(degrees);
    const float co = std::cos(theta);
    const float si = std::sin(theta);
    const float k = 1.0f - co;
    const CVector3 v = vector;
    vector.m_x = (k * x * x + co) * v.m_x + (k * x * y - si * z) * v.m_y + (k * x * z + si * y) * v.m_z;
    vector.m_y = (k * x * y + si * z) * v.m_x + (k * y * y + co) * v.m_y + (k * y * z - si * x) * v.m_z;
    vector.m_z = (k * x * z - si * y) * v.m_x + (k * y * z + si * x) * v.m_y + (k * z * z + co) * v.m_z;
    return vector;
}

void CVector3::RotateXY(float degrees)
{
    const float theta = Radians(degrees);
    const float co = std::cos(theta);
    const float si = std::sin(theta);
    const float x = m_x * co - m_y * si;
    const float y = m_x * si + m_y * co;
    m_x = x;
    m_y = y;
}
