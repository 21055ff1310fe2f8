#include "widgets/area_dip.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"

#include <algorithm>
#include <string>

namespace
{
constexpr uint32_t kFontSize = 12;
constexpr uint32_t kLargeFontSize = 24;
// Switch bodies stand this much shorter than the bank, and narrower than their column.
constexpr int32_t kBodyInset = 4;
constexpr float kEndShade = 0.55f;
constexpr float kLeverShade = 0.6f;
// Beside each end switch a strip of a fiftieth of the width is cleared to the background.
constexpr int32_t kStripDivisor = 50;
}

CAreaDip::CAreaDip(CArea2* parent)
    : CArea2(parent, false, 200, CApp::IsHighResolution() ? 80 : 40)
{
    SetName("CAreaDip");
    SetFontSize(CApp::IsHighResolution() ? kLargeFontSize : kFontSize);
}

void CAreaDip::SetValue(uint32_t value)
{
    m_value = value;
    SetDirty();
}

void CAreaDip::OnPointerDown(const CPoint& point, uint32_t, bool* handled)
{
    *handled = true;
    const int32_t column = GetColumnWidth();
    // A bank too narrow for its switches has nothing to press.
    if (!IsEnabled() || column == 0 || point.GetX() < 0)
        return;
    // The pixels left over right of the tenth switch reach bit 10, which no switch shows.
    const int32_t bit = point.GetX() / column;
    if (bit < 32)
        m_value ^= 1u << bit;
    SetDirty();
    m_change(this);
}

void CAreaDip::Layout()
{
    const int32_t column = GetColumnWidth();
    if (column == 0)
    {
        m_backgroundFrame = m_endSwitch = m_lever = CZevralImage();
        return;
    }
    const int32_t height = int32_t(GetHeight());
    CGlyphManager& glyphs = CGlyphManager::Instance();
    glyphs.GetButtonFrame(m_backgroundFrame, uint32_t(column) * kSwitchCount - 2, GetHeight(), false, false);
    m_backgroundFrame.Fill(GetColour(), true);

    CZevralImage piece;
    glyphs.GetCaptionFrame(piece, uint32_t(std::max(0, height - kBodyInset)), uint32_t(std::max(0, column - kBodyInset)));
    piece.RotateQuarter(270);
    piece.Fill(GetColour(), true);
    m_endSwitch.Resize(uint32_t(std::max(0, piece.GetWidth() - 1)), uint32_t(piece.GetHeight()), true);
    m_endSwitch.Fill(GetBackgroundColour().Scale(kEndShade));
    m_endSwitch.CompositeImage(CPoint(), piece);
    m_endSwitch.FlattenAlpha();

    m_lever.Resize(uint32_t(column - 1), uint32_t(std::max(0, height - kBodyInset)), false);
    m_lever.Fill(GetColour().Scale(kLeverShade));
}

void CAreaDip::PaintEndSwitch(CTextureAdapter& canvas, bool on, bool last, int32_t x, int32_t y) const
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    CZevralImage body = m_endSwitch;
    if (last)
        body.RotateQuarter(180);
    const int32_t half = body.GetHeight() / 2;
    // On shows the body's upper half; off its upper half turned down, in the lower half.
    if (on)
    {
        body.Resize(uint32_t(body.GetWidth()), uint32_t(half), false);
    }
    else
    {
        body.Resize(uint32_t(body.GetWidth()), uint32_t(half + 1), false);
        body.FlipVertical();
        y += half;
    }
    const int32_t strip = width / kStripDivisor;
    if (!last)
    {
        canvas.FillRect(GetBackgroundColour(), CRect(0, 0, strip, height));
        canvas.BlendImage(CPoint(GetColumnWidth() - body.GetWidth(), y), body);
    }
    else
    {
        canvas.FillRect(GetBackgroundColour(), CRect::FromCorners(width - strip, 0, width, height));
        canvas.BlendImage(CPoint(x + 1, y), body);
    }
}

void CAreaDip::Paint(CTextureAdapter& canvas)
{
    const int32_t column = GetColumnWidth();
    if (column == 0)
        return;
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    canvas.Fill(GetBackgroundColour());
    canvas.BlendImage(CPoint(), m_backgroundFrame);
    const CRgbaColour separator = GetColour().Scale(kLeverShade);
    const int32_t y = height / 2 - m_endSwitch.GetHeight() / 2;
    for (uint32_t i = 0; i < kSwitchCount; ++i)
    {
        const int32_t x = int32_t(i) * column;
        const bool on = (m_value >> i) & 1u;
        if (i >= 1)
        {
            if (on)
                canvas.DrawLine(x, height / 2, x, height - 3, separator);
            else
                canvas.DrawLine(x, 3, x, height / 2 - 1, separator);
        }
        if (i == 0 || i == kSwitchCount - 1)
        {
            PaintEndSwitch(canvas, on, i != 0, x, y);
        }
        else
        {
            // The lever stands up when on, down when off.
            CZevralImage lever = m_lever;
            const int32_t half = lever.GetHeight() / 2;
            if (on)
                lever.FillRect(CRgbaColour(0u), CRect(0, half, lever.GetWidth(), lever.GetHeight() - half));
            else
                lever.FillRect(CRgbaColour(0u), CRect(0, 0, lever.GetWidth(), half));
            canvas.BlendImage(CPoint(x + 1, y), lever);
        }
        const int32_t middle = x + width / 20;
        DrawText(canvas, "on", on ? GetBackgroundColour() : GetTextColour(),
                 CPoint(middle, int32_t(float(height) * 0.25f + 2.0f)), kAlignCentre, kAlignMiddle);
        DrawText(canvas, std::to_string(i + 1), on ? GetTextColour() : GetBackgroundColour(),
                 CPoint(middle, int32_t(float(height) * 0.75f)), kAlignCentre, kAlignMiddle);
    }
}
