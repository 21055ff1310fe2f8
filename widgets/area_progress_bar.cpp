#include "widgets/area_progress_bar.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"

#include <algorithm>
#include <cmath>

namespace
{
// The caption's top edge, the same on every screen.
constexpr int32_t kCaptionTop = 20;
}

CAreaProgressBar::CAreaProgressBar(CArea2* parent)
    : CArea2(parent, false, 200, CApp::IsHighResolution() ? 160 : 80), m_caption(CApp::Translate("progress", true))
{
    SetName("CAreaProgressBar");
}

void CAreaProgressBar::SetProgress(float progress)
{
    // A progress that is no number at all shows as none.
    if (std::isnan(progress))
        progress = m_minimum;
    progress = std::min(std::max(progress, m_minimum), m_maximum);
    if (progress == m_progress)
        return;
    m_progress = progress;
    SetDirty();
}

void CAreaProgressBar::SetCaption(const std::string& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    SetDirty();
}

void CAreaProgressBar::Paint(CTextureAdapter& canvas)
{
    const uint32_t width = GetWidth();
    const uint32_t half = GetHeight() / 2;
    CGlyphManager& glyphs = CGlyphManager::Instance();
    glyphs.GetButtonFrame(m_bar, width, half, false, false);
    const uint32_t filled = uint32_t(std::max(0.0f, float(width) * m_progress));
    if (filled > 0)
    {
        CZevralImage fill;
        glyphs.GetFillFrame(fill, filled, half, false);
        m_bar.MergeImage(CPoint(), fill);
    }
    m_bar.Fill(GetColour(), true);
    canvas.Fill(GetBackgroundColour());
    canvas.BlendImage(CPoint(0, int32_t(half)), m_bar);
    if (!m_caption.empty())
        DrawText(canvas, m_caption, GetTextColour(), CPoint(int32_t(width / 2), kCaptionTop), kAlignCentre, 3);
}
