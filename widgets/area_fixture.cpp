#include "widgets/area_fixture.h"

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
constexpr uint32_t kLargeFont = 20;
constexpr uint32_t kAddressFontRaise = 2;
const CRgbaColour kCollisionColour(255, 0, 0, 255);
}

CAreaFixture::CAreaFixture(CArea2* parent, CFixtureManager* fixtureManager)
    : CArea2(parent, true, 100, 100), m_fixtureManager(fixtureManager)
{
    SetName("CAreaFixture");
}

void CAreaFixture::SetSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    SetDirty();
}

void CAreaFixture::SetFixture(CFixture* fixture)
{
    if (fixture == m_fixture)
        return;
    StopObserving(m_fixture);
    m_fixture = fixture;
    Observe(fixture);
    HandleNotify(fixture, 0);
}

int32_t CAreaFixture::GetIndexInParent() const
{
    const auto* list = dynamic_cast<const CFixtureAreaList*>(GetParent());
    return list ? list->GetFixtureAreaIndex(this) : -1;
}

void CAreaFixture::OnVisibleChanged()
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

void CAreaFixture::HandleNotify(CSubject* subject, uint32_t code)
{
    // A fixture that goes must not be read again: the tile shows no fixture from then on.
    if (code == NOTIFY_RELEASE && subject && subject == m_fixture)
        m_fixture = nullptr;
    UpdateTexts();
    SetDirty();
}

void CAreaFixture::UpdateTexts()
{
    if (!m_fixture)
    {
        m_name.clear();
        m_manufacturer.clear();
        m_model.clear();
        m_mode.clear();
        m_option.clear();
        m_address.clear();
        return;
    }
    m_name = m_fixture->GetLabel();
    if (m_name.empty())
        m_name = std::to_string(m_fixture->GetIndex() + 1);
    const CPersonalityRef personality = m_fixture->GetPersonality();
    m_manufacturer = personality.GetManufacturer();
    m_model = personality.GetModel();
    m_mode = personality.GetMode();
    m_option = m_fixture->GetOptionText();
    m_address = m_fixture->IsPatched() ? std::to_string(m_fixture->GetAddress()) : std::string();
}

CRgbaColour CAreaFixture::GetAddressColour() const
{
    if (m_fixture && m_fixtureManager && !m_fixtureManager->IsAddressFree(m_fixture))
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
    CGlyphManager::Instance().GetButtonFrame(m_normalFrame, GetWidth(), GetHeight(), false, false);
    CGlyphManager::Instance().GetButtonFrame(m_selectedFrame, GetWidth(), GetHeight(), false, true);
    SetFontSize(CApp::GetScreenClass() == kDesktopScreenClass ? kSmallFont : kLargeFont);
}

void CAreaFixture::Paint(CTextureAdapter& canvas)
{
    canvas.CompositeImage(CPoint(), m_selected ? m_selectedFrame : m_normalFrame);
    const CRgbaColour text = GetTextColour();
    // Long names, models and modes are shortened in their middle rather than run into the frame.
    const auto fitted = [this](const std::string& line, const CRect& row) {
        std::string shown = line;
        ShortenToFit(uint32_t(std::max(0, row.GetWidth())), shown, GetFontSize());
        return shown;
    };
    DrawText(canvas, fitted(m_name, m_nameRow), text, m_nameRow.GetCentre(), kAlignCentre, kAlignMiddle);
    for (const auto& [row, line] : {std::make_pair(&m_manufacturerRow, &m_manufacturer),
                                    std::make_pair(&m_modelRow, &m_model), std::make_pair(&m_modeRow, &m_mode),
                                    std::make_pair(&m_optionRow, &m_option)})
    {
        DrawText(canvas, fitted(*line, *row), text, CPoint(row->GetX(), row->GetCentre().GetY()), kAlignStart,
                 kAlignMiddle);
    }
    // The address ends where the full-width rows end, a little larger than the rest.
    DrawText(canvas, m_address, GetAddressColour(),
             CPoint(m_manufacturerRow.GetRight(), m_optionRow.GetCentre().GetY()), kAlignEnd, kAlignMiddle,
             GetFontSize() + kAddressFontRaise);
}
