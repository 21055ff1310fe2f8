// Painting of the area tree and single-line text. The canvas keeps its pixels from frame to frame:
// only dirty areas, and everything inside them, are painted again.
#include "widgets/area.h"

#include "graphics/font_manager.h"
#include "graphics/renderer_drawing.h"
#include "graphics/text_renderer.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"
#include "widgets/shorten_middle.h"

#include <algorithm>

namespace
{
// Smaller text cannot be read on the normal screen (twice this on a large one): a text that does
// not fit at this size is shortened in its middle instead.
constexpr uint32_t kLegibleSize = 8;

bool IsEmpty(const CRect& rect)
{
    return rect.GetWidth() <= 0 || rect.GetHeight() <= 0;
}

// Whether the two share a pixel.
bool Overlap(const CRect& a, const CRect& b)
{
    return !IsEmpty(a) && !IsEmpty(b) && a.GetX() < b.GetRight() && b.GetX() < a.GetRight() &&
           a.GetY() < b.GetBottom() && b.GetY() < a.GetBottom();
}

// Grows the rectangle to take in the other.
void Include(CRect& rect, const CRect& other)
{
    if (IsEmpty(other))
        return;
    if (IsEmpty(rect))
    {
        rect = other;
        return;
    }
    const int32_t left = std::min(rect.GetX(), other.GetX());
    const int32_t top = std::min(rect.GetY(), other.GetY());
    rect = CRect(left, top, std::max(rect.GetRight(), other.GetRight()) - left,
                 std::max(rect.GetBottom(), other.GetBottom()) - top);
}
}

bool CArea2::NeedsRender() const
{
    if (!m_visible)
        return false;
    if (m_dirty)
        return true;
    if (!m_renderBelow)
        return false;
    if (m_modal && m_modal->NeedsRender())
        return true;
    for (const auto& child : m_children)
        if (child->NeedsRender())
            return true;
    m_renderBelow = false;
    return false;
}

CRect CArea2::Render(const CTextureAdapter& canvas, const CPoint& offset, bool force)
{
    // The dialogs whose shade earlier frames laid over the canvas.
    std::vector<const CArea2*> shaded;
    CollectShadedDialogs(shaded);
    return RenderInto(canvas, offset, force, shaded, 0);
}

void CArea2::CollectShadedDialogs(std::vector<const CArea2*>& shaded) const
{
    if (!m_visible)
        return;
    if (m_modal && !m_modalFresh)
        shaded.push_back(m_modal.get());
    if (m_modal)
        m_modal->CollectShadedDialogs(shaded);
    for (const auto& child : m_children)
        child->CollectShadedDialogs(shaded);
}

CRect CArea2::RenderInto(const CTextureAdapter& canvas, const CPoint& offset, bool force,
                         std::vector<const CArea2*>& shaded, int shades)
{
    // A clean subtree leaves its pixels alone.
    if (!m_visible || (!force && !NeedsRender()))
        return CRect();
    CTextureAdapter view(GetRect() + offset, canvas);
    CRect painted;
    if (m_dirty || force)
    {
        // The whole canvas is dimmed once as each dialog opens. The page goes on changing under the
        // dialogs at the frame rate, and a whole-canvas blend at each of those frames would cost
        // milliseconds, so what paints again is dimmed alone, by a shade for each dialog over it
        // (a dialog is a layer of its own over its host; what paints with a parent is as deep).
        if (!force || (m_parent && m_parent->m_modal.get() == this))
            shades = int(std::count_if(shaded.begin(), shaded.end(),
                                       [this](const CArea2* open) { return !open->Holds(this); }));
        if (m_ownSurface)
            view = GetOwnImage();
        else if (!IsFillCovered())
            view.Fill(m_backgroundColour);
        Paint(view);
        // Before the children: each paints every pixel of its own place, and dims it in turn.
        for (int i = 0; i < shades; ++i)
            view.DimRect(GetLocalRect());
        m_dirty = false;
        force = true;
        painted = GetRect() + offset;
    }
    const CPoint origin = view.GetWindow().GetPosition();
    // What lies under an open dialog goes on showing the truth (a link lamp, a playback's cue): it
    // paints as it changes, and the dialog is drawn again, whole, when what painted reaches under
    // it. A dialog that has just opened is drawn whole over the host as it stands then.
    const CRect dialog = m_modal ? m_modal->GetRect() + origin : CRect();
    bool dialogCovered = m_modalFresh;
    for (size_t i = 0; i < m_children.size(); ++i)
    {
        const CRect child = m_children[i]->RenderInto(view, origin, force, shaded, shades);
        dialogCovered = dialogCovered || Overlap(child, dialog);
        Include(painted, child);
    }
    if (m_modal)
    {
        if (m_modalFresh)
        {
            CTextureAdapter whole(CRect(0, 0, view.GetWindow().GetWidth(), view.GetWindow().GetHeight()), view);
            whole.DimRect(whole.GetVisibleRect());
            shaded.push_back(m_modal.get());
            m_modalFresh = false;
        }
        // Painting changes no tree, but a dialog that went meanwhile would go only once this call
        // has returned.
        const CEventScope painting;
        Include(painted, m_modal->RenderInto(view, origin, force || dialogCovered, shaded, shades));
    }
    return painted;
}

bool CArea2::Holds(const CArea2* area) const
{
    for (; area; area = area->m_parent)
        if (area == this)
            return true;
    return false;
}

bool CArea2::IsFillCovered() const
{
    if (PaintsEveryPixel())
        return true;
    // A child drawn over the whole area right after it.
    const CRect whole = GetLocalRect();
    for (const auto& child : m_children)
    {
        const CRect rect = child->GetRect();
        if (child->m_visible && child->PaintsEveryPixel() && rect.GetX() <= 0 && rect.GetY() <= 0 &&
            rect.GetRight() >= whole.GetRight() && rect.GetBottom() >= whole.GetBottom())
            return true;
    }
    return false;
}

void CArea2::CopyBackgroundTo(CArea2* child)
{
    if (!child)
        return;
    if (m_ownSurface)
        child->GetOwnImage().CopyImage(CPoint() - child->GetPosition(), GetOwnImage());
    else
        child->GetOwnImage().Fill(m_backgroundColour);
}

void CArea2::DrawHatch(CBaseImage& image) const
{
    const bool large = CApp::IsHighResolution();
    const int32_t step = large ? 4 : 2;
    for (int32_t y = 0; y < image.GetHeight(); ++y)
    {
        const int32_t start = y % 2 == 0 ? (large ? 2 : 1) : 0;
        for (int32_t x = start; x < image.GetWidth(); x += step)
        {
            image.SetPixel(uint32_t(x), uint32_t(y), m_backgroundColour);
            if (large)
                image.SetPixel(uint32_t(x + 1), uint32_t(y), m_backgroundColour);
        }
    }
}

// Text

void CArea2::MeasureText(const std::string& text, int32_t& width, int32_t& height) const
{
    ::MeasureText(m_font, text, width, height);
}

void CArea2::MeasureText(const std::string& text, uint32_t fontSize, int32_t& width, int32_t& height) const
{
    ::MeasureText(FontAt(fontSize), text, width, height);
}

void CArea2::MeasureText(TTF_Font* font, const std::string& text, int32_t& width, int32_t& height)
{
    ::MeasureText(font, text, width, height);
}

void CArea2::MeasureTextRect(const std::string& text, CRect& rect) const
{
    int32_t width = 0;
    int32_t height = 0;
    MeasureText(text, width, height);
    rect = CRect(0, 0, width, height);
}

bool CArea2::RenderText(CZevralImage& image, const std::string& text, CRgbaColour colour) const
{
    return ::RenderText(m_font, text, colour, image);
}

bool CArea2::RenderText(CZevralImage& image, const std::string& text, CRgbaColour colour, uint32_t fontSize) const
{
    return ::RenderText(FontAt(fontSize), text, colour, image);
}

bool CArea2::RenderText(TTF_Font* font, CZevralImage& image, const std::string& text, CRgbaColour colour)
{
    return ::RenderText(font, text, colour, image);
}

void CArea2::DrawText(TTF_Font* font, CBaseImage& canvas, const std::string& text, CRgbaColour colour,
                      const CPoint& anchor, uint32_t horizontal, uint32_t vertical)
{
    if (canvas.GetWidth() == 0 || canvas.GetHeight() == 0)
        return;
    CZevralImage rendered;
    if (!::RenderText(font, text, colour, rendered))
        return;
    CPoint at = anchor;
    AlignToAnchor(horizontal, vertical, at, rendered);
    canvas.CompositeImage(at, rendered);
}

void CArea2::DrawText(CBaseImage& canvas, const std::string& text, CRgbaColour colour, const CPoint& anchor,
                      uint32_t horizontal, uint32_t vertical) const
{
    DrawText(m_font, canvas, text, colour, anchor, horizontal, vertical);
}

void CArea2::DrawText(CBaseImage& canvas, const std::string& text, CRgbaColour colour, const CPoint& anchor,
                      uint32_t horizontal, uint32_t vertical, uint32_t fontSize) const
{
    DrawText(FontAt(fontSize), canvas, text, colour, anchor, horizontal, vertical);
}

void CArea2::DrawText(CBaseImage& canvas, const std::string& text, CRgbaColour colour, const CPoint& anchor,
                      uint32_t horizontal, uint32_t vertical, const std::string& fontName, uint32_t fontSize) const
{
    DrawText(CFontManager::Instance().GetFont(fontName, int32_t(fontSize)), canvas, text, colour, anchor, horizontal,
             vertical);
}

void CArea2::DrawText(CBaseImage& canvas, const std::string& text, CRgbaColour colour, CRgbaColour,
                      const CPoint& anchor, uint32_t horizontal, uint32_t vertical) const
{
    DrawText(m_font, canvas, text, colour, anchor, horizontal, vertical);
}

void CArea2::DrawText(CBaseImage& canvas, const std::string& text, CRgbaColour colour, CRgbaColour,
                      const CPoint& anchor, uint32_t horizontal, uint32_t vertical, uint32_t fontSize) const
{
    DrawText(FontAt(fontSize), canvas, text, colour, anchor, horizontal, vertical);
}

void CArea2::AlignToAnchor(uint32_t horizontal, uint32_t vertical, CPoint& anchor, const CBaseImage& textImage)
{
    int32_t dx = textImage.GetWidth();
    if (horizontal == kAlignStart)
        dx = 0;
    else if (horizontal == kAlignCentre)
        dx = textImage.GetWidth() / 2;
    int32_t dy = textImage.GetHeight();
    if (vertical == kAlignTop || vertical == 3)
        dy = 0;
    else if (vertical == kAlignMiddle)
        dy = textImage.GetHeight() / 2;
    anchor = anchor - CPoint(dx, dy);
}

uint32_t CArea2::GetLegibleFontSize()
{
    return CApp::IsHighResolution() ? 2 * kLegibleSize : kLegibleSize;
}

void CArea2::FitFontSize(uint32_t maxWidth, uint32_t& fontSize, const std::string& text) const
{
    const uint32_t smallest = GetLegibleFontSize();
    int32_t width = 0;
    int32_t height = 0;
    MeasureText(text, fontSize, width, height);
    while (int64_t(width) > int64_t(maxWidth) && fontSize > smallest)
        MeasureText(text, --fontSize, width, height);
}

void CArea2::ShortenToFit(uint32_t maxWidth, std::string& text, uint32_t fontSize) const
{
    text = ShortenMiddleToFit(text, [&](const std::string& candidate) {
        int32_t width = 0;
        int32_t height = 0;
        MeasureText(candidate, fontSize, width, height);
        return int64_t(width) <= int64_t(maxWidth);
    });
}

void CArea2::FitText(uint32_t maxWidth, std::string& text, uint32_t& fontSize) const
{
    FitFontSize(maxWidth, fontSize, text);
    ShortenToFit(maxWidth, text, fontSize);
}

void CArea2::DrawTextureOnScreen(const CPoint& point, SDL_Texture* texture)
{
    const CPoint moved = point + m_position;
    if (m_parent)
        m_parent->DrawTextureOnScreen(moved, texture);
    else
        DrawTexture(moved, texture);
}

void CArea2::DrawTextureRectOnScreen(const CRect& destination, const CRect& source, SDL_Texture* texture)
{
    const CRect moved = destination + m_position;
    if (m_parent)
        m_parent->DrawTextureRectOnScreen(moved, source, texture);
    else
        DrawTextureRect(moved, source, texture);
}
