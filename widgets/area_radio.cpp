#include "widgets/area_radio.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"

namespace
{
constexpr uint32_t kWidth = 200;
constexpr uint32_t kHeight = 40;
// The selected block is this much lower than the row.
constexpr int32_t kBlockInset = 4;
constexpr float kShade = 0.6f;
}  // namespace

CAreaRadio::CAreaRadio(CArea2* parent, uint32_t optionCount)
    : CArea2(parent, false, kWidth, CApp::IsHighResolution() ? 2 * kHeight : kHeight), m_options(optionCount)
{
    SetName("CAreaRadio");
}

CAreaRadio::~CAreaRadio() = default;

void CAreaRadio::SetOptionText(uint32_t index, const std::string& text)
{
    if (index < m_options.size())
        m_options[index] = text;
}

void CAreaRadio::SetSelection(uint32_t index)
{
    m_selection = index;
    SetDirty();
}

std::string CAreaRadio::GetSelectedText() const
{
    return m_selection < m_options.size() ? m_options[m_selection] : std::string();
}

int32_t CAreaRadio::SegmentWidth() const
{
    return m_options.empty() ? 0 : int32_t(GetWidth() / m_options.size());
}

void CAreaRadio::OnPointerDown(const CPoint& point, uint32_t, bool* handled)
{
    const int32_t segment = SegmentWidth();
    if (IsEnabled() && segment > 0 && point.GetX() >= 0)
    {
        const uint32_t index = uint32_t(point.GetX() / segment);
        if (index < m_options.size() && index != m_selection)
        {
            m_selection = index;
            SetDirty();
            m_change(this);
        }
    }
    // A disabled radio still takes the press, so nothing under it sees it.
    if (handled)
        *handled = true;
}

void CAreaRadio::Layout()
{
    const int32_t segment = SegmentWidth();
    const int32_t height = int32_t(GetHeight());
    if (segment <= 2 || height <= kBlockInset)
    {
        m_frame = m_end = m_middle = CZevralImage();
        return;
    }
    CGlyphManager& glyphs = CGlyphManager::Instance();
    glyphs.GetButtonFrame(m_frame, uint32_t(segment) * uint32_t(m_options.size()), uint32_t(height), false, false);
    m_frame.Fill(GetColour(), true);

    // The caption frame, turned upright, gives the selected block its shaped end.
    CZevralImage caption;
    glyphs.GetCaptionFrame(caption, uint32_t(height - kBlockInset), uint32_t(segment - 2));
    caption.RotateQuarter(270);
    caption.Fill(GetColour(), true);
    m_end = CZevralImage(uint32_t(caption.GetWidth()), uint32_t(caption.GetHeight()));
    m_end.Fill(GetBackgroundColour());
    m_end.CompositeImage(CPoint(0, 0), caption);
    m_end.FlattenAlpha();

    m_middle = CZevralImage(uint32_t(segment), uint32_t(height - kBlockInset));
    m_middle.Fill(GetColour().Scale(kShade));
}

void CAreaRadio::Paint(CTextureAdapter& canvas)
{
    canvas.Fill(GetBackgroundColour());
    const int32_t segment = SegmentWidth();
    if (segment <= 0)
        return;
    const int32_t height = int32_t(GetHeight());
    const uint32_t count = uint32_t(m_options.size());
    // The selected block goes under the row's frame, so a selected end segment keeps the frame's
    // rounded end around it.
    if (m_selection < count)
    {
        const int32_t x = int32_t(m_selection) * segment;
        const int32_t y = height / 2 - m_end.GetHeight() / 2;
        if (m_selection == 0)
        {
            canvas.BlendImage(CPoint(segment - m_end.GetWidth(), y), m_end);
        }
        else if (m_selection == count - 1)
        {
            CZevralImage end = m_end;
            end.RotateQuarter(180);
            canvas.BlendImage(CPoint(x, y), end);
        }
        else
        {
            canvas.BlendImage(CPoint(x, y), m_middle);
        }
    }
    canvas.CompositeImage(CPoint(0, 0), m_frame);
    const CRgbaColour shade = GetColour().Scale(kShade);
    for (uint32_t i = 0; i < count; ++i)
    {
        const int32_t x = int32_t(i) * segment;
        std::string text = m_options[i];
        ShortenToFit(uint32_t(segment), text, GetFontSize());
        if (i > 0)
            canvas.DrawLine(x, 3, x, height - 3, shade);
        DrawText(canvas, text, i == m_selection ? GetBackgroundColour() : GetTextColour(),
                 CPoint(x + segment / 2, height / 2), kAlignCentre, kAlignMiddle);
    }
}
