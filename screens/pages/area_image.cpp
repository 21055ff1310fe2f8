#include "screens/pages/area_image.h"

#include "graphics/glyph_manager.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"

namespace
{
constexpr uint32_t kPictureSize = 32;
constexpr uint32_t kDefaultSide = 100;
const CRgbaColour kTransparent(0u);
const CRgbaColour kDarkGrey(48, 48, 48, 255);

uint32_t ParentWidth(const CArea2* parent)
{
    return parent ? parent->GetWidth() : kDefaultSide;
}

uint32_t ParentHeight(const CArea2* parent)
{
    return parent ? parent->GetHeight() : kDefaultSide;
}
}

CAreaImage::CAreaImage(CArea2* parent, const std::string& skinImageName, bool scaleToFit)
    : CArea2(parent, false, ParentWidth(parent), ParentHeight(parent))
{
    CSkinManager::Instance().GetImagePointer(m_shared, skinImageName, kPictureSize);
    SetBackgroundColour(kTransparent);
    Init(scaleToFit);
}

CAreaImage::CAreaImage(CArea2* parent, const std::string& glyphPage, const std::string& glyphName, bool scaleToFit)
    : CArea2(parent, false, kDefaultSide, kDefaultSide),
      m_picture(CGlyphManager::Instance().GetImage(glyphPage, glyphName, kPictureSize))
{
    SetBackgroundColour(kTransparent);
    Init(scaleToFit);
}

CAreaImage::CAreaImage(CArea2* parent, const CZevralImage& image, bool scaleToFit)
    : CArea2(parent, false, kDefaultSide, kDefaultSide), m_picture(image)
{
    SetBackgroundColour(kDarkGrey);
    Init(scaleToFit);
}

void CAreaImage::Init(bool scaleToFit)
{
    SetName("CAreaImage");
    m_scaleToFit = scaleToFit;
    if (scaleToFit)
    {
        SetWidth(uint32_t(GetImage().GetWidth()));
        SetHeight(uint32_t(GetImage().GetHeight()));
    }
}

void CAreaImage::SetImage(const CZevralImage& image)
{
    if (image == GetImage())
        return;
    m_picture = image;
    m_shared = nullptr;
    SetDirty();
    SetWidth(uint32_t(image.GetWidth()));
    SetHeight(uint32_t(image.GetHeight()));
}

void CAreaImage::SetBrightness(float brightness)
{
    if (brightness == m_brightness)
        return;
    m_brightness = brightness;
    SetDirty();
}

void CAreaImage::Run(const CCallback<ButtonCallback>& callback, uint32_t button, bool* handled)
{
    if (!callback.IsSet())
        return;
    callback(this, button, handled);
    *handled = true;
}

void CAreaImage::OnClick(const CPoint&, uint32_t button, bool* handled)
{
    Run(m_click, button, handled);
}

void CAreaImage::OnPointerDown(const CPoint&, uint32_t button, bool* handled)
{
    Run(m_press, button, handled);
}

void CAreaImage::OnPointerUp(const CPoint&, bool* handled)
{
    if (!m_release.IsSet())
        return;
    m_release(this, handled);
    *handled = true;
}

void CAreaImage::OnDoubleClick(const CPoint&, uint32_t button, bool* handled)
{
    Run(m_doubleClick, button, handled);
}

void CAreaImage::Paint(CTextureAdapter& canvas)
{
    if (m_scaleToFit || m_brightness < 1.0f)
    {
        CZevralImage scaled(GetWidth(), GetHeight());
        scaled.ScaleImage(GetImage(), true);
        if (m_scaleToFit)
        {
            canvas.CompositeImage(CPoint(), scaled);
            return;
        }
        scaled.ScaleBrightness(m_brightness);
        canvas.BlendImage(CPoint(), scaled);
        return;
    }
    canvas.CopyImage(GetImage());
}

bool CAreaImage::PaintsEveryPixel() const
{
    return !m_scaleToFit && m_brightness >= 1.0f && GetImage().GetPixels() && GetImage().GetWidth() >= int32_t(GetWidth()) &&
           GetImage().GetHeight() >= int32_t(GetHeight());
}

void CAreaImage::CopyBackgroundTo(CArea2* child)
{
    if (child)
        child->GetOwnImage().CopyImage(CPoint() - child->GetPosition(), GetImage());
}
