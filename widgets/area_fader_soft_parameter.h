#pragma once

#include "widgets/area_fader_soft.h"

// The attribute fader of the edit page: an upright soft fader whose identifier is the programmer's
// attribute group it drives. For a second after each value that comes back from the model, the
// bottom box shows the value as a DMX level 0..255 in place of the caption.
class CAreaFaderSoftParameter : public CAreaFaderSoft
{
public:
    static constexpr float kValueDisplaySeconds = 1.0f;

    CAreaFaderSoftParameter(CArea2* parent, uint32_t group);

    void SetValue(float value) override;

protected:
    void DrawCaption(CBaseImage& canvas) override;
    void OnTick(float seconds) override;

private:
    float m_valueDisplayTime = 0.0f;
};
