#pragma once

#include "foundation/point.h"

#include <cstdint>

// An integer rectangle: the columns x .. x + width - 1 and the rows y .. y + height - 1.
// The size setters keep width and height within 0..4096; constructors and Grow do not clamp.
class CRect
{
public:
    static constexpr int32_t kMaxSide = 4096;

    CRect() = default;
    CRect(int32_t width, int32_t height) : m_width(width), m_height(height) {}
    // From two opposite corners in any order, both inclusive.
    static CRect FromCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Position p1, extending to p2 inclusive (corners not reordered).
    CRect(const CPoint& p1, const CPoint& p2);
    CRect(int32_t x, int32_t y, int32_t width, int32_t height)
        : m_position(x, y), m_width(width), m_height(height) {}

    CRect operator+(const CPoint& offset) const;
    CRect operator-(const CPoint& offset) const;
    CRect& operator+=(const CPoint& offset);
    CRect& operator-=(const CPoint& offset);
    CRect& Move(const CPoint& offset) { return *this += offset; }
    bool operator==(const CRect& other) const;
    bool operator!=(const CRect& other) const { return !(*this == other); }

    int32_t GetX() const { return m_position.GetX(); }
    int32_t GetY() const { return m_position.GetY(); }
    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    void SetX(int32_t x);
    void SetY(int32_t y);  // a negative row is stored as 0
    void SetWidth(int32_t width);
    void SetHeight(int32_t height);
    const CPoint& GetPosition() const { return m_position; }
    void SetPosition(const CPoint& position) { m_position = position; }
    CRect GetRect() const { return *this; }

    int32_t GetRight() const { return GetX() + m_width; }    // one past the last column
    int32_t GetBottom() const { return GetY() + m_height; }  // one past the last row
    CPoint GetTopRight() const { return CPoint(GetX() + m_width - 1, GetY()); }
    CPoint GetBottomRight() const { return CPoint(GetX() + m_width - 1, GetY() + m_height - 1); }
    CPoint GetBottomLeft() const { return CPoint(GetX(), GetY() + m_height - 1); }
    CPoint GetCentre() const { return CPoint(GetX() + m_width / 2, GetY() + m_height / 2); }
    void StepRight() { SetX(GetX() + m_width); }
    void StepDown() { m_position = CPoint(GetX(), GetY() + m_height); }

    // n times: each axis that is at least 2 long loses one pixel on both sides.
    void Shrink(uint32_t n);
    void Grow(int32_t n);
    // Half-open: the right column and bottom row are outside.
    bool Contains(const CPoint& point) const;
    // Moves the point into x .. x + width and y .. y + height, both ends inclusive.
    void ClampPoint(CPoint& point) const;
    // Cuts the rectangle to the wanted height / width ratio, optionally keeping it centred.
    void FitAspect(float ratio, bool centre);
    CRect Normalise() const;
    // Touching the right or bottom edge from outside counts as intersecting.
    bool Intersects(const CRect& other) const;

private:
    CPoint m_position;
    int32_t m_width = 0;
    int32_t m_height = 0;
};
