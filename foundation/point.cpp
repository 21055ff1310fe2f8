#include "foundation/point.h"

#include <cstdio>
#include <cstdlib>

CPoint& CPoint::operator+=(const CPoint& other)
{
    m_x += other.m_x;
    m_y += other.m_y;
    return *this;
}

CPoint& CPoint::operator-=(const CPoint& other)
{
    m_x -= other.m_x;
    m_y -= other.m_y;
    return *this;
}

uint32_t CPoint::GetDistance(const CPoint& other) const
{
    // Widened so that the difference of two extreme coordinates cannot overflow.
    const int64_t dx = std::llabs(int64_t(m_x) - other.m_x);
    const int64_t dy = std::llabs(int64_t(m_y) - other.m_y);
    return uint32_t(dx > dy ? dx : dy);
}

std::string CPoint::ToString() const
{
    char text[32];
    std::snprintf(text, sizeof text, "%u:%u", unsigned(m_x), unsigned(m_y));
    return text;
}
