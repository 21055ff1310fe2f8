#include "widgets/area_fader_soft_parameter.h"

#include <algorithm>
#include <cstdio>

CAreaFaderSoftParameter::CAreaFaderSoftParameter(CArea2* parent, uint32_t group)
    : CAreaFaderSoft(parent, group, kVertical)
{
    SetName("CAreaFaderSoftParameter");
}

void CAreaFaderSoftParameter::SetValue(float value)
{
    CAreaFaderSoft::SetValue(value);
    m_valueDisplayTime = kValueDisplaySeconds;
}

void CAreaFaderSoftParameter::DrawCaption(CBaseImage& canvas)
{
    if (m_valueDisplayTime <= 0.0f)
    {
        CAreaFaderSoft::DrawCaption(canvas);
        return;
    }
    // The wheel may have taken the user value past the range.
    const float level = std::clamp(GetValue() * 255.0f, 0.0f, 255.0f);
    char text[16];
    std::snprintf(text, sizeof(text), "%u", unsigned(level));
    DrawInCaptionBox(canvas, text);
}

void CAreaFaderSoftParameter::OnTick(float seconds)
{
    if (m_valueDisplayTime <= 0.0f)
        return;
    if (seconds < m_valueDisplayTime)
    {
        m_valueDisplayTime -= seconds;
        return;
    }
    // Run out, even exactly: the caption comes back.
    m_valueDisplayTime = 0.0f;
    SetDirty();
}
