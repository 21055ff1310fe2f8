#include "foundation/rect.h"

#include <algorithm>
#include <cstdlib>

namespace {

int32_t ClampSide(int32_t side)
{
    return std::clamp(side, int32_t(0), CRect::kMaxSide);
}

}  // namespace

CRect CRect::FromCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const int32_t left = std::min(x1, x2);
    const int32_t top = std::min(y1, y2);
    return CRect(left, top, std::max(x1, x2) - left + 1, std::max(y1, y2) - top + 1);
}

CRect::CRect(const CPoint& p1, const CPoint& p2)
    : m_position(p1), m_width(p2.GetX() + 1 - p1.GetX()), m_height(p2.GetY() + 1 - p1.GetY())
{
}

CRect CRect::operator+(const CPoint& offset) const
{
    CRect moved(*this);
    return moved += offset;
}

CRect CRect::operator-(const CPoint& offset) const
{
    CRect moved(*this);
    return moved -= offset;
}

CRect& CRect::operator+=(const CPoint& offset)
{
    m_position += offset;
    return *this;
}

CRect& CRect::operator-=(const CPoint& offset)
{
    m_position -= offset;
    return *this;
}

bool CRect::operator==(const CRect& other) const
{
    return m_position == other.m_position && m_width == other.m_width && m_height == other.m_height;
}

void CRect::SetX(int32_t x)
{
    m_position = CPoint(x, GetY());
}

void CRect::SetY(int32_t y)
{
    m_position = CPoint(GetX(), std::max(y, int32_t(0)));
}

void CRect::SetWidth(int32_t width)
{
    m_width = ClampSide(width);
}

void CRect::SetHeight(int32_t height)
{
    m_height = ClampSide(height);
}

void CRect::Shrink(uint32_t n)
{
    for (uint32_t step = 0; step < n; ++step) {
        if (m_width >= 2) {
            m_position += CPoint(1, 0);
            m_width -= 2;
        }
        if (m_height >= 2) {
            m_position += CPoint(0, 1);
            m_height -= 2;
        }
    }
}

void CRect::Grow(int32_t n)
{
    if (n == 0)
        return;
    m_position -= CPoint(n, n);
    m_width += 2 * n;
    m_height += 2 * n;
}

bool CRect::Contains(const CPoint& point) const
{
    if (m_width < 1 || m_height < 1)
        return false;
    return GetX() <= point.GetX() && point.GetX() < GetRight() && GetY() <= point.GetY() &&
           point.GetY() < GetBottom();
}

void CRect::ClampPoint(CPoint& point) const
{
    point = CPoint(std::clamp(point.GetX(), GetX(), std::max(GetX(), GetRight())),
                   std::clamp(point.GetY(), GetY(), std::max(GetY(), GetBottom())));
}

void CRect::FitAspect(float ratio, bool centre)
{
    if (m_width <= 0)
        return;
    const float current = float(m_height) / float(m_width);
    if (ratio > current) {
        const int32_t width = int32_t(float(m_width) * (current / ratio));
        if (centre)
            m_position += CPoint((m_width - width) / 2, 0);
        m_width = ClampSide(width);
    } else if (current > ratio) {
        const int32_t height = int32_t(float(m_height) * (ratio / current));
        if (centre)
            m_position += CPoint(0, (m_height - height) / 2);
        m_height = ClampSide(height);
    }
}

CRect CRect::Normalise() const
{
    return CRect(std::min(GetX(), GetX() + m_width - 1), std::min(GetY(), GetY() + m_height - 1),
                 std::abs(m_width), std::abs(m_height));
}

bool CRect::Intersects(const CRect& other) const
{
    const CRect o = other.Normalise();
    return o.GetX() <= GetRight() && o.GetY() <= GetBottom() && o.GetX() + o.GetWidth() - 1 >= GetX() &&
           o.GetY() + o.GetHeight() - 1 >= GetY();
}
