#include "widgets/area_fader.h"

#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr uint32_t kSkinSize = 32;
constexpr uint32_t kHeight = 200;
constexpr uint32_t kWidthWithoutCap = 94;
constexpr uint32_t kLargeWidth = 188;
constexpr uint32_t kLargeHeight = 400;
// Where the cap's top row lies at full and at zero travel; at full travel the cap's clear top rows
// reach above the fader.
constexpr int32_t kTravelTop = -9;
constexpr int32_t kTravelBottom = 112;
constexpr int32_t kLargeTravelTop = -16;
constexpr int32_t kLargeTravelBottom = 225;
constexpr int32_t kTrackTravelTop = 15;
// The track leaves this share of the cap's height free.
constexpr float kTrackCapShare = 0.8f;
constexpr float kWheelStep = 0.01f;
// Shift or Ctrl: 3000 wheel steps cover the whole travel.
constexpr float kFineWheelStep = 1.0f / 3000.0f;

const CZevralImage& NoImage()
{
    static const CZevralImage empty;
    return empty;
}

const CZevralImage* FindSkinImage(const std::string& name)
{
    const CZevralImage* image = &NoImage();
    CSkinManager::Instance().GetImagePointer(image, CSkinManager::GetSkinFileName(name), kSkinSize);
    return image;
}

uint32_t InitialWidth(const CZevralImage& cap)
{
    if (CApp::IsHighResolution())
        return kLargeWidth;
    return cap.GetWidth() > 0 ? uint32_t(cap.GetWidth()) : kWidthWithoutCap;
}

float Clamp01(float value)
{
    return std::max(0.0f, std::min(value, 1.0f));
}
}

CAreaFader::CAreaFader(CArea2* parent)
    : CArea2(parent, true, InitialWidth(*FindSkinImage("cap")), CApp::IsHighResolution() ? kLargeHeight : kHeight),
      m_cap(FindSkinImage("cap")),
      m_travelTop(CApp::IsHighResolution() ? kLargeTravelTop : kTravelTop),
      m_travelBottom(CApp::IsHighResolution() ? kLargeTravelBottom : kTravelBottom)
{
    SetName("CAreaFader");
}

void CAreaFader::SetValue(float value)
{
    if (!std::isnan(value))
        m_value = Clamp01(value);
}

void CAreaFader::SetDisplayedValue(float value)
{
    if (std::isnan(value))
        return;
    value = Clamp01(value);
    if (value == m_displayedValue)
        return;
    m_displayedValue = value;
    SetDirty();
}

void CAreaFader::SetStyle(uint32_t style)
{
    m_style = style;
    if (style == kStyleTrack)
    {
        // The track is drawn over the parent's background, so no surface of its own is needed.
        SetOwnSurface(false);
        m_travelTop = kTrackTravelTop;
        m_travelBottom = int32_t(GetHeight()) - m_cap->GetHeight();
    }
    Refresh(false);
}

int32_t CAreaFader::CapTopFor(float value) const
{
    return int32_t(float(m_travelBottom) - float(m_travelBottom - m_travelTop) * value);
}

void CAreaFader::CallBack()
{
    m_change(this);
}

void CAreaFader::TakeValueFrom(int32_t y)
{
    const float travel = float(m_travelBottom - m_travelTop);
    float value = 0.0f;
    // A fader too short for its cap has no travel: it reads 0 rather than dividing by nothing.
    if (travel > 0.0f)
    {
        const float top = std::max(float(m_travelTop), std::min(float(y) - m_grabOffset, float(m_travelBottom)));
        value = Clamp01(1.0f - (top - float(m_travelTop)) / travel);
    }
    m_value = value;
    CallBack();
}

void CAreaFader::OnPointerDown(const CPoint& point, uint32_t, bool* handled)
{
    m_dragging = true;
    const int32_t capTop = CapTopFor(m_value);
    const int32_t y = point.GetY();
    if (capTop < y && y < capTop + m_cap->GetHeight())
    {
        // Grabbing the cap keeps the value: the offset is taken from the cap's exact position, not
        // the drawn row, so neither the grab nor a drag back to the same row nudges the intensity.
        const float exactTop = float(m_travelBottom) - float(m_travelBottom - m_travelTop) * m_value;
        m_grabOffset = float(y) - exactTop;
        CallBack();
    }
    else
    {
        // Beside the cap: the cap's middle jumps to the pointer.
        m_grabOffset = float(m_cap->GetHeight() / 2);
        TakeValueFrom(y);
    }
    *handled = true;
}

void CAreaFader::OnPointerMove(const CPoint& point)
{
    // The capture outlives the release, so moves after it arrive here too.
    if (m_dragging)
        TakeValueFrom(point.GetY());
}

void CAreaFader::OnPointerUp(const CPoint&, bool* handled)
{
    m_dragging = false;
    *handled = true;
}

void CAreaFader::OnWheel(const CPoint&, int32_t amount, bool* handled)
{
    const float step = CApp::IsShiftDown() || CApp::IsCtrlDown() ? kFineWheelStep : kWheelStep;
    m_value = Clamp01(m_value + float(amount) * step);
    CallBack();
    *handled = true;
}

void CAreaFader::Layout()
{
    if (m_style != kStyleTrack)
        return;
    if (!m_track)
        m_track.emplace();
    const CZevralImage* source = FindSkinImage("fader_track");
    const int32_t height = int32_t(GetHeight()) - int32_t(kTrackCapShare * float(m_cap->GetHeight()));
    m_track->Resize(uint32_t(source->GetWidth()), uint32_t(std::max(height, 0)));
    m_track->ScaleImage(*source, true);
    m_travelBottom = int32_t(GetHeight()) - m_cap->GetHeight();
}

void CAreaFader::Paint(CTextureAdapter& canvas)
{
    const int32_t width = int32_t(GetWidth());
    const int32_t capTop = CapTopFor(m_displayedValue);
    if (m_track)
    {
        const int32_t height = int32_t(GetHeight());
        canvas.BlendImage(CPoint(width / 2 - m_track->GetWidth() / 2, height / 2 - m_track->GetHeight() / 2), *m_track);
        canvas.BlendImage(CPoint(width / 2 + 1 - m_cap->GetWidth() / 2, capTop), *m_cap);
    }
    else
    {
        canvas.BlendImage(CPoint(width / 2 - m_cap->GetWidth() / 2, capTop), *m_cap);
    }
}
