#include "widgets/area_fixture_tile.h"

#include "foundation/notify_codes.h"
#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "model/fixture.h"
#include "model/fixture_manager.h"
#include "shell/app.h"

namespace
{
// The 768 x 1024 screen class takes the small font.
constexpr uint32_t kDesktopScreenClass = 5;
constexpr uint32_t kSmallFont = 9;
}

CAreaFixtureTile::CAreaFixtureTile(CArea2* parent, CFixtureManager* fixtureManager, const std::string& name,
                                   const std::string& blank)
    : CArea2(parent, true, 100, 100),
      m_fixtureManager(fixtureManager),
      m_blank(blank),
      m_name(blank),
      m_manufacturer(blank),
      m_model(blank)
{
    SetName(name);
}

void CAreaFixtureTile::SetSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    SetDirty();
}

void CAreaFixtureTile::SetFixture(CFixture* fixture)
{
    if (m_fixture.Follow(fixture))
        HandleNotify(fixture, 0);
}

void CAreaFixtureTile::OnVisibleChanged()
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

void CAreaFixtureTile::HandleNotify(CSubject* subject, uint32_t code)
{
    // A fixture that goes must not be read again: the tile shows no fixture from then on.
    m_fixture.Forget(subject, code);
    UpdateTexts();
    SetDirty();
}

void CAreaFixtureTile::UpdateTexts()
{
    if (!m_fixture)
    {
        m_name = m_manufacturer = m_model = m_blank;
        return;
    }
    m_name = m_fixture->GetLabel();
    if (m_name.empty())
        m_name = std::to_string(m_fixture->GetIndex() + 1);
    const CPersonalityRef personality = m_fixture->GetPersonality();
    m_manufacturer = personality.GetManufacturer();
    m_model = personality.GetModel();
}

void CAreaFixtureTile::LayoutFrames(uint32_t largeFontSize)
{
    CGlyphManager::Instance().GetButtonFrame(m_normalFrame, GetWidth(), GetHeight(), false, false);
    CGlyphManager::Instance().GetButtonFrame(m_selectedFrame, GetWidth(), GetHeight(), false, true);
    SetFontSize(CApp::GetScreenClass() == kDesktopScreenClass ? kSmallFont : largeFontSize);
}

void CAreaFixtureTile::TintFrames(CRgbaColour colour)
{
    m_normalFrame.Fill(colour, true);
    m_selectedFrame.Fill(colour, true);
}

void CAreaFixtureTile::PaintFrame(CTextureAdapter& canvas) const
{
    canvas.CompositeImage(CPoint(), m_selected ? m_selectedFrame : m_normalFrame);
}
