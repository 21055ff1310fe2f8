#include "widgets/area_fixture.h"

#include "graphics/texture_adapter.h"
#include "model/fixture.h"
#include "model/fixture_manager.h"

#include <algorithm>
#include <utility>

namespace
{
constexpr uint32_t kLargeFont = 20;
constexpr uint32_t kAddressFontRaise = 2;
const CRgbaColour kCollisionColour(255, 0, 0, 255);
}

CAreaFixture::CAreaFixture(CArea2* parent, CFixtureManager* fixtureManager)
    : CAreaFixtureTile(parent, fixtureManager, "CAreaFixture", std::string())
{
}

int32_t CAreaFixture::GetIndexInParent() const
{
    const auto* list = dynamic_cast<const CFixtureAreaList*>(GetParent());
    return list ? list->GetFixtureAreaIndex(this) : -1;
}

void CAreaFixture::UpdateTexts()
{
    CAreaFixtureTile::UpdateTexts();
    const CFixture* fixture = GetFixture();
    if (!fixture)
    {
        m_mode.clear();
        m_option.clear();
        m_address.clear();
        return;
    }
    m_mode = fixture->GetPersonality().GetMode();
    m_option = fixture->GetOptionText();
    m_address = fixture->IsPatched() ? std::to_string(fixture->GetAddress()) : std::string();
}

CRgbaColour CAreaFixture::GetAddressColour() const
{
    CFixture* fixture = GetFixture();
    CFixtureManager* fixtureManager = GetFixtureManager();
    if (fixture && fixtureManager && !fixtureManager->IsAddressFree(fixture))
        return kCollisionColour;
    return GetTextColour();
}

void CAreaFixture::Layout()
{
    CRect rows = GetClientRect();
    rows.Shrink(2);
    ArrangeRects({&m_nameRow, &m_manufacturerRow, &m_modelRow, &m_modeRow, &m_optionRow}, rows, 0, false);
    const int32_t half = m_optionRow.GetWidth() / 2;
    m_addressRect = CRect(m_optionRow.GetX() + half, m_optionRow.GetY(), m_optionRow.GetWidth() - half,
                          m_optionRow.GetHeight());
    m_optionRow.SetWidth(half);
    LayoutFrames(kLargeFont);
}

void CAreaFixture::Paint(CTextureAdapter& canvas)
{
    PaintFrame(canvas);
    const CRgbaColour text = GetTextColour();
    // Long names, models and modes are shortened in their middle rather than run into the frame.
    const auto fitted = [this](const std::string& line, const CRect& row) {
        std::string shown = line;
        ShortenToFit(uint32_t(std::max(0, row.GetWidth())), shown, GetFontSize());
        return shown;
    };
    DrawText(canvas, fitted(GetNameText(), m_nameRow), text, m_nameRow.GetCentre(), kAlignCentre, kAlignMiddle);
    using Row = std::pair<const CRect*, const std::string*>;
    for (const auto& [row, line] : {Row(&m_manufacturerRow, &GetManufacturerText()), Row(&m_modelRow, &GetModelText()),
                                    Row(&m_modeRow, &m_mode), Row(&m_optionRow, &m_option)})
    {
        DrawText(canvas, fitted(*line, *row), text, CPoint(row->GetX(), row->GetCentre().GetY()), kAlignStart,
                 kAlignMiddle);
    }
    // The address ends where the full-width rows end, a little larger than the rest.
    DrawText(canvas, m_address, GetAddressColour(),
             CPoint(m_manufacturerRow.GetRight(), m_optionRow.GetCentre().GetY()), kAlignEnd, kAlignMiddle,
             GetFontSize() + kAddressFontRaise);
}
