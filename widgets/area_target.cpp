#include "widgets/area_target.h"

#include "foundation/notify_codes.h"
#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "model/fixture.h"
#include "model/fixture_manager.h"
#include "shell/application.h"

#include <algorithm>
#include <utility>

namespace
{
// The 768 x 1024 screen class takes the small font.
constexpr uint32_t kDesktopScreenClass = 5;
constexpr uint32_t kSmallFont = 9;
constexpr uint32_t kLargeFont = 18;
const char* const kNone = "-";
// Room kept free between a text and the tile's frame on either side.
constexpr int32_t kTextMargin = 2;
}

CAreaTarget::CAreaTarget(CArea2* parent, CFixtureManager* fixtureManager)
    : CArea2(parent, true, 100, 100), m_fixtureManager(fixtureManager)
{
    SetName("CAreaTarget");
}

void CAreaTarget::SetSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    SetDirty();
}

void CAreaTarget::SetFixture(CFixture* fixture)
{
    if (fixture == m_fixture)
        return;
    StopObserving(m_fixture);
    m_fixture = fixture;
    Observe(fixture);
    HandleNotify(fixture, 0);
}

int32_t CAreaTarget::GetIndexInParent() const
{
    const auto* list = dynamic_cast<const CTargetAreaList*>(GetParent());
    return list ? list->GetTargetIndex(this) : -1;
}

void CAreaTarget::SetColour(CRgbaColour colour)
{
    CArea2::SetColour(colour);
    m_normalFrame.Fill(colour, true);
    m_selectedFrame.Fill(colour, true);
}

void CAreaTarget::OnVisibleChanged()
{
    CFixture* fixture = nullptr;
    if (IsVisible() && m_fixtureManager)
    {
        const int32_t index = GetIndexInParent();
        if (index >= 0)
            fixture = m_fixtureManager->GetFixture(uint32_t(index));
    }
    SetFixture(fixture);
}

void CAreaTarget::HandleNotify(CSubject* subject, uint32_t code)
{
    // A fixture that goes must not be read again: the tile shows no fixture from then on.
    if (code == NOTIFY_RELEASE && subject && subject == m_fixture)
        m_fixture = nullptr;
    UpdateTexts();
    SetDirty();
}

void CAreaTarget::UpdateTexts()
{
    m_name = m_manufacturer = m_model = kNone;
    if (!m_fixture)
        return;
    m_name = m_fixture->GetLabel();
    if (m_name.empty())
        m_name = std::to_string(m_fixture->GetIndex() + 1);
    const CPersonalityRef personality = m_fixture->GetPersonality();
    m_manufacturer = personality.GetManufacturer();
    m_model = personality.GetModel();
}

void CAreaTarget::Layout()
{
    ArrangeRects({&m_nameRow, &m_manufacturerRow, &m_modelRow}, GetClientRect(), 0, false);
    CGlyphManager::Instance().GetButtonFrame(m_normalFrame, GetWidth(), GetHeight(), false, false);
    CGlyphManager::Instance().GetButtonFrame(m_selectedFrame, GetWidth(), GetHeight(), false, true);
    SetFontSize(CApp::GetScreenClass() == kDesktopScreenClass ? kSmallFont : kLargeFont);
}

void CAreaTarget::Paint(CTextureAdapter& canvas)
{
    canvas.CompositeImage(CPoint(), m_selected ? m_selectedFrame : m_normalFrame);
    const CRgbaColour text = GetTextColour();
    for (const auto& [row, line] : {std::make_pair(&m_nameRow, &m_name),
                                    std::make_pair(&m_manufacturerRow, &m_manufacturer),
                                    std::make_pair(&m_modelRow, &m_model)})
    {
        // A long name or model is shortened in its middle rather than cut off at both edges.
        std::string shown = *line;
        ShortenToFit(uint32_t(std::max(0, row->GetWidth() - 2 * kTextMargin)), shown, GetFontSize());
        DrawText(canvas, shown, text, row->GetCentre(), kAlignCentre, kAlignMiddle);
    }
}
