#include "graphics/texture_adapter.h"

#include <algorithm>
#include <cstring>

namespace
{
int32_t ClampTo(int64_t value, int64_t low, int64_t high)
{
    return int32_t(std::max(low, std::min(value, high)));
}
}  // namespace

CTextureAdapter::CTextureAdapter(const CBaseImage& image)
{
    if (const auto* view = dynamic_cast<const CTextureAdapter*>(&image))
    {
        // A view of a view covers the same pixels.
        Init(view->GetPixels(), view->m_window, view->GetWidth(), view->GetHeight());
        return;
    }
    Init(image.GetPixels(), CRect(0, 0, int32_t(image.GetStride()), image.GetHeight()), image.GetWidth(),
         image.GetHeight());
}

CTextureAdapter::CTextureAdapter(const CRect& rect, const CTextureAdapter& parent)
{
    Init(parent.GetPixels(),
         CRect(rect.GetX(), rect.GetY(), parent.m_window.GetWidth(), parent.m_window.GetHeight()),
         rect.GetWidth(), rect.GetHeight());
}

void CTextureAdapter::Init(uint32_t* pixels, const CRect& window, int64_t width, int64_t height)
{
    m_window = window;
    const int32_t w = ClampTo(width, 0, 0xFFFF);
    const int32_t h = ClampTo(height, 0, 0xFFFF);
    SetView(pixels, uint32_t(w), uint32_t(h), uint32_t(std::max(window.GetWidth(), 0)));
    const int64_t ox = window.GetX();
    const int64_t oy = window.GetY();
    m_firstColumn = ClampTo(-ox, 0, w);
    m_endColumn = ClampTo(int64_t(window.GetWidth()) - ox, m_firstColumn, w);
    m_firstRow = ClampTo(-oy, 0, h);
    m_endRow = ClampTo(int64_t(window.GetHeight()) - oy, m_firstRow, h);
    if (!pixels)
        m_endColumn = m_firstColumn, m_endRow = m_firstRow;
}

CRect CTextureAdapter::GetVisibleRect() const
{
    if (m_endColumn <= m_firstColumn || m_endRow <= m_firstRow)
        return CRect();
    return CRect(m_firstColumn, m_firstRow, m_endColumn - m_firstColumn, m_endRow - m_firstRow);
}

bool CTextureAdapter::IsVisible(int64_t x, int64_t y) const
{
    return x >= m_firstColumn && x < m_endColumn && y >= m_firstRow && y < m_endRow;
}

uint32_t* CTextureAdapter::At(int64_t x, int64_t y) const
{
    const int64_t offset = (m_window.GetY() + y) * int64_t(m_window.GetWidth()) + m_window.GetX() + x;
    return GetPixels() + offset;
}

CRgbaColour CTextureAdapter::GetPixel(const CPoint& point) const
{
    if (!IsVisible(point.GetX(), point.GetY()))
        return CRgbaColour(0u);
    return CRgbaColour(*At(point.GetX(), point.GetY()));
}

CRgbaColour CTextureAdapter::GetPixel(uint32_t x, uint32_t y) const
{
    if (!IsVisible(x, y))
        return CRgbaColour(0u);
    return CRgbaColour(*At(x, y));
}

CRgbaColour CTextureAdapter::GetPixel(uint32_t index) const
{
    const uint32_t width = uint32_t(GetWidth());
    if (width == 0 || index >= width * uint32_t(GetHeight()))
        return CRgbaColour(kOpaqueBlack);
    const uint32_t x = index % width;
    const uint32_t y = index / width;
    if (!IsVisible(x, y))
        return CRgbaColour(kOpaqueBlack);
    return CRgbaColour(*At(x, y));
}

void CTextureAdapter::SetPixel(uint32_t x, uint32_t y, CRgbaColour colour)
{
    if (IsVisible(x, y))
        *At(x, y) = colour.GetValue();
}

void CTextureAdapter::SetPixel(uint32_t index, CRgbaColour colour)
{
    const uint32_t width = uint32_t(GetWidth());
    if (width == 0 || index >= width * uint32_t(GetHeight()))
        return;
    SetPixel(index % width, index / width, colour);
}

void CTextureAdapter::SetPixel(const CPoint& point, CRgbaColour colour)
{
    if (IsVisible(point.GetX(), point.GetY()))
        *At(point.GetX(), point.GetY()) = colour.GetValue();
}

const uint32_t* CTextureAdapter::GetConstRow(uint32_t y) const
{
    // Only a row that lies wholly on the underlying pixels can be handed out whole.
    if (y >= uint32_t(GetHeight()) || !IsVisible(0, y) || m_endColumn != GetWidth())
        return nullptr;
    return At(0, y);
}

uint32_t* CTextureAdapter::GetRow(uint32_t y)
{
    return const_cast<uint32_t*>(GetConstRow(y));
}

const uint32_t* CTextureAdapter::GetConstRowSpan(uint32_t y, int32_t& first, int32_t& end) const
{
    first = m_firstColumn;
    end = m_endColumn;
    if (first >= end || !IsVisible(first, y))
        return nullptr;
    return At(first, y);
}

uint32_t* CTextureAdapter::GetRowSpan(uint32_t y, int32_t& first, int32_t& end)
{
    return const_cast<uint32_t*>(GetConstRowSpan(y, first, end));
}

CTextureAdapter& CTextureAdapter::operator=(const CBaseImage& image)
{
    for (int32_t y = 0; y < GetHeight(); ++y)
    {
        int32_t tFirst, tEnd, sFirst, sEnd;
        uint32_t* target = GetRowSpan(uint32_t(y), tFirst, tEnd);
        if (!target)
            continue;
        const uint32_t* source = image.GetConstRowSpan(uint32_t(y), sFirst, sEnd);
        if (!source)
            continue;
        const int32_t from = std::max(tFirst, sFirst);
        const int32_t to = std::min(tEnd, sEnd);
        if (to > from)
            memmove(target + (from - tFirst), source + (from - sFirst), size_t(to - from) * 4);
    }
    return *this;
}

void CTextureAdapter::CopyRegionTo(CBaseImage& target, const CRect& rect) const
{
    const int64_t rows = std::min<int64_t>({rect.GetHeight(), int64_t(GetHeight()) - rect.GetY(), target.GetHeight()});
    const int64_t columns = std::min<int64_t>({rect.GetWidth(), int64_t(GetWidth()) - rect.GetX(), target.GetWidth()});
    for (int64_t j = 0; j < rows; ++j)
    {
        int32_t tFirst, tEnd;
        uint32_t* row = target.GetRowSpan(uint32_t(j), tFirst, tEnd);
        if (!row)
            continue;
        for (int64_t i = std::max<int64_t>(0, tFirst); i < std::min<int64_t>(columns, tEnd); ++i)
        {
            const int64_t x = rect.GetX() + i;
            const int64_t y = rect.GetY() + j;
            if (IsVisible(x, y))
                row[i - tFirst] = *At(x, y);
        }
    }
}
