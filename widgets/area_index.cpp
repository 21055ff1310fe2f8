#include "widgets/area_index.h"

#include "graphics/texture_adapter.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace
{
constexpr float kShade = 0.628f;
}

CAreaIndex::CAreaIndex(CArea2* parent) : CArea2(parent, true, 50, 300)
{
    SetName("CAreaIndex");
}

void CAreaIndex::OnPointerDown(const CPoint& point, uint32_t, bool* handled)
{
    *handled = true;
    const int32_t rowHeight = int32_t(GetHeight()) / kLetterCount;
    // A strip too short for its letters has no rows to choose.
    if (rowHeight == 0)
        return;
    const int32_t row = std::max(0, std::min(point.GetY() / rowHeight, kLetterCount - 1));
    m_selected = char('a' + row);
    std::printf("%c\n", m_selected);
    m_change(this);
}

void CAreaIndex::Paint(CTextureAdapter& canvas)
{
    canvas.Fill(GetColour().Scale(kShade));
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    for (int32_t k = 0; k < kLetterCount; ++k)
    {
        const std::string letter(1, char('a' + k));
        DrawText(canvas, letter, GetBackgroundColour(), CPoint(width / 2, height / 52 + k * (height / kLetterCount)),
                 kAlignCentre, kAlignMiddle);
    }
}
