#include "widgets/area_button_soft.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"
#include "widgets/click_sound.h"
#include "widgets/word_wrap.h"

#include <algorithm>

namespace
{
constexpr uint32_t kWidth = 100;
constexpr uint32_t kHeight = 40;
// Smaller buttons have no room for a caption.
constexpr int32_t kMinCaptionSide = 11;
constexpr uint32_t kIconMargin = 8;
// The frame's border, which no caption line reaches.
constexpr int32_t kFrameInset = 2;

size_t FrameIndex(bool on, bool down)
{
    return (on ? 2 : 0) + (down ? 1 : 0);
}
}  // namespace

CAreaButtonSoft::CAreaButtonSoft(CArea2* parent) : CAreaButton(parent, "", true)
{
    SetName("CAreaButtonSoft");
    const uint32_t scale = CApp::IsHighResolution() ? 2 : 1;
    SetSize(kWidth * scale, kHeight * scale);
}

CAreaButtonSoft::~CAreaButtonSoft() = default;

void CAreaButtonSoft::SetColour(CRgbaColour colour)
{
    CAreaButton::SetColour(colour);
    Layout();
    SetDirty();
}

void CAreaButtonSoft::PlayFeedback()
{
    if (!IsPressed())
        PlayClickSound("positive");
}

void CAreaButtonSoft::Layout()
{
    for (const bool on : {false, true})
        for (const bool down : {false, true})
        {
            CZevralImage& frame = m_frames[FrameIndex(on, down)];
            CGlyphManager::Instance().GetButtonFrame(frame, GetWidth(), GetHeight(), on, down);
            frame.Fill(GetColour(), true);
        }
}

void CAreaButtonSoft::Paint(CTextureAdapter& canvas)
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    CZevralImage work = m_frames[FrameIndex(IsOn(), IsPressed())];
    if (work.GetWidth() != width || work.GetHeight() != height)
    {
        // No frame to draw on: the caption and icon still show.
        work.Resize(GetWidth(), GetHeight(), true);
    }

    if (!GetCaption().empty() && width >= kMinCaptionSide && height >= kMinCaptionSide)
    {
        int32_t ignored = 0;
        int32_t lineHeight = 0;
        MeasureText(GetCaption(), ignored, lineHeight);
        // As many lines as the frame holds; a longer translation is shortened to them.
        const int32_t room = height - 2 * kFrameInset * (CApp::IsHighResolution() ? 2 : 1);
        const std::vector<std::string> lines =
            WrapWordsWithin(GetCaption(), width, size_t(std::max(1, room / std::max(1, lineHeight))), GetFont());
        const CRgbaColour colour = IsOn() ? GetBackgroundColour() : GetTextColour();
        int32_t y = FirstLineY(height / 2, lines.size(), lineHeight);
        for (const std::string& line : lines)
        {
            DrawText(work, line, colour, CPoint(width / 2, y), kAlignCentre, kAlignMiddle);
            y += lineHeight;
        }
    }

    const CZevralImage& icon = GetIcon();
    if (!icon.IsEmpty())
    {
        CRect box = GetLocalRect();
        box.Shrink(CApp::IsHighResolution() ? 2 * kIconMargin : kIconMargin);
        if (GetMaxIconHeight() != -1 && box.GetHeight() > GetMaxIconHeight())
            box.SetHeight(GetMaxIconHeight());
        box.FitAspect(float(icon.GetHeight()) / float(icon.GetWidth()), true);
        if (box.GetWidth() > 0 && box.GetHeight() > 0)
        {
            CZevralImage scaled(uint32_t(box.GetWidth()), uint32_t(box.GetHeight()));
            scaled.ScaleImage(icon, true);
            work.BlendImage(CPoint(width / 2 - scaled.GetWidth() / 2, height / 2 - scaled.GetHeight() / 2), scaled);
        }
    }

    if (!IsEnabled())
        DrawHatch(work);
    canvas.CompositeImage(CPoint(0, 0), work);
}
