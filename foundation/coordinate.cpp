#include "foundation/coordinate.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace
{
float ClampAxis(float value)
{
    return std::clamp(value, -1.0f, 1.0f);
}
}  // namespace

CCoordinate::CCoordinate(float x, float y) : m_x(ClampAxis(x)), m_y(ClampAxis(y)) {}

void CCoordinate::SetX(float x)
{
    m_x = ClampAxis(x);
}

void CCoordinate::SetY(float y)
{
    m_y = ClampAxis(y);
}

void CCoordinate::Clamp()
{
    m_x = ClampAxis(m_x);
    m_y = ClampAxis(m_y);
}

CCoordinate CCoordinate::operator+(const CCoordinate& other) const
{
    return CCoordinate(m_x + other.m_x, m_y + other.m_y);
}

CCoordinate CCoordinate::operator-(const CCoordinate& other) const
{
    return CCoordinate(m_x - other.m_x, m_y - other.m_y);
}

CCoordinate& CCoordinate::operator+=(const CCoordinate& other)
{
    m_x += other.m_x;
    m_y += other.m_y;
    return *this;
}

CCoordinate& CCoordinate::operator-=(const CCoordinate& other)
{
    m_x -= other.m_x;
    m_y -= other.m_y;
    return *this;
}

CCoordinate CCoordinate::operator*(float factor) const
{
    CCoordinate result(*this);
    result *= factor;
    return result;
}

CCoordinate& CCoordinate::operator*=(float factor)
{
    m_x *= factor;
    m_y *= factor;
    return *this;
}

CCoordinate& CCoordinate::operator/=(float divisor)
{
    m_x /= divisor;
    m_y /= divisor;
    return *this;
}

bool CCoordinate::IsNear(const CCoordinate& other, float tolerance) const
{
    const float t = std::max(0.0f, tolerance);
    return other.m_x - t <= m_x && m_x <= other.m_x + t && other.m_y - t <= m_y && m_y <= other.m_y + t;
}

std::string CCoordinate::ToString() const
{
    char text[96];
    std::snprintf(text, sizeof text, "%0.04f %0.04f", double(m_x), double(m_y));
    return text;
}

std::ostream& operator<<(std::ostream& stream, const CCoordinate& coordinate)
{
    return stream << coordinate.ToString();
}
