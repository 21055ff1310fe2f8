#include "widgets/area_target.h"

#include "graphics/texture_adapter.h"

#include <algorithm>
#include <utility>

namespace
{
constexpr uint32_t kLargeFont = 18;
const char* const kNone = "-";
// Room kept free between a text and the tile's frame on either side.
constexpr int32_t kTextMargin = 2;
}

CAreaTarget::CAreaTarget(CArea2* parent, CFixtureManager* fixtureManager)
    : CAreaFixtureTile(parent, fixtureManager, "CAreaTarget", kNone)
{
}

int32_t CAreaTarget::GetIndexInParent() const
{
    const auto* list = dynamic_cast<const CTargetAreaList*>(GetParent());
    return list ? list->GetTargetIndex(this) : -1;
}

void CAreaTarget::SetColour(CRgbaColour colour)
{
    CArea2::SetColour(colour);
    TintFrames(colour);
}

void CAreaTarget::Layout()
{
    ArrangeRects({&m_nameRow, &m_manufacturerRow, &m_modelRow}, GetClientRect(), 0, false);
    LayoutFrames(kLargeFont);
}

void CAreaTarget::Paint(CTextureAdapter& canvas)
{
    PaintFrame(canvas);
    const CRgbaColour text = GetTextColour();
    for (const auto& [row, line] : {std::make_pair(&m_nameRow, &GetNameText()),
                                    std::make_pair(&m_manufacturerRow, &GetManufacturerText()),
                                    std::make_pair(&m_modelRow, &GetModelText())})
    {
        // A long name or model is shortened in its middle rather than cut off at both edges.
        std::string shown = *line;
        ShortenToFit(uint32_t(std::max(0, row->GetWidth() - 2 * kTextMargin)), shown, GetFontSize());
        DrawText(canvas, shown, text, row->GetCentre(), kAlignCentre, kAlignMiddle);
    }
}
