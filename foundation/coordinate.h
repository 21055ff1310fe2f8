#pragma once

#include <iosfwd>
#include <string>

// A position on two axes, each normally within -1..1 (the position attribute group's pan and tilt).
// Construction, the setters and + and - keep the axes in range; the compound operators and * do
// not, so intermediate sums may run past the range until Clamp.
class CCoordinate
{
public:
    CCoordinate() = default;
    CCoordinate(float x, float y);

    float GetX() const { return m_x; }
    float GetY() const { return m_y; }
    void SetX(float x);
    void SetY(float y);
    void Clamp();

    CCoordinate operator+(const CCoordinate& other) const;
    CCoordinate operator-(const CCoordinate& other) const;
    CCoordinate& operator+=(const CCoordinate& other);
    CCoordinate& operator-=(const CCoordinate& other);
    CCoordinate operator*(float factor) const;
    CCoordinate& operator*=(float factor);
    CCoordinate& operator/=(float divisor);

    bool operator==(const CCoordinate& other) const { return m_x == other.m_x && m_y == other.m_y; }
    bool operator!=(const CCoordinate& other) const { return !(*this == other); }
    // Both axes within the tolerance (a negative tolerance counts as 0) of the other's.
    bool IsNear(const CCoordinate& other, float tolerance) const;

    // "x y", four decimals each: "0.5000 -1.0000".
    std::string ToString() const;
    void ToString(std::string& text) const { text = ToString(); }

private:
    float m_x = 0.0f;
    float m_y = 0.0f;
};

std::ostream& operator<<(std::ostream& stream, const CCoordinate& coordinate);
