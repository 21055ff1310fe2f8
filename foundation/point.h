#pragma once

#include <cstdint>
#include <string>

// An integer position on screen, or a size (x = width, y = height).
class CPoint
{
public:
    CPoint() = default;
    CPoint(int32_t x, int32_t y) : m_x(x), m_y(y) {}

    CPoint operator+(const CPoint& other) const { return CPoint(m_x + other.m_x, m_y + other.m_y); }
    CPoint operator-(const CPoint& other) const { return CPoint(m_x - other.m_x, m_y - other.m_y); }
    CPoint& operator+=(const CPoint& other);
    CPoint& operator-=(const CPoint& other);
    CPoint operator/(int n) const { return CPoint(m_x / n, m_y / n); }
    bool operator==(const CPoint& other) const { return m_x == other.m_x && m_y == other.m_y; }
    bool operator!=(const CPoint& other) const { return !(*this == other); }

    int32_t GetX() const { return m_x; }
    int32_t GetY() const { return m_y; }

    // The larger of the distances along the two axes.
    uint32_t GetDistance(const CPoint& other) const;
    // "x:y", each printed as unsigned.
    std::string ToString() const;

private:
    int32_t m_x = 0;
    int32_t m_y = 0;
};
