#include "widgets/area_led.h"

#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"

namespace
{
constexpr uint32_t kSkinSize = 32;
}  // namespace

const CRgbaColour CAreaLed::kGreen(0, 255, 0, 255);
const CRgbaColour CAreaLed::kRed(255, 0, 0, 255);

CAreaLed::CAreaLed(CArea2* parent)
    : CArea2(parent, true),
      m_imageBase(CSkinManager::GetSkinFileName("led")),
      m_colour(0, 0, 0, 255),
      m_red(CSkinManager::Instance().GetImage(m_imageBase + "_red", kSkinSize)),
      m_green(CSkinManager::Instance().GetImage(m_imageBase + "_green", kSkinSize))
{
    SetName("CAreaLed");
    // Without its pictures the lamp keeps a size an owner can see and place.
    if (!m_green.IsEmpty())
        SetSize(m_green);
}

CAreaLed::~CAreaLed() = default;

void CAreaLed::SetColour(const CRgbaColour& colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    SetDirty();
}

void CAreaLed::Paint(CTextureAdapter& canvas)
{
    if (m_colour == kGreen)
        canvas.CompositeImage(CPoint(0, 0), m_green);
    else if (m_colour == kRed)
        canvas.CompositeImage(CPoint(0, 0), m_red);
}
