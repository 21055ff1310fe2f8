#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>

// The speed knob of the playback page: a fixed knob body from the skin with an indent ring that
// turns with the value. The value runs from -1 to 1 in steps of 0.1 over 120 degrees either side
// of straight up. Dragging with the first button turns it towards the pointer, the wheel steps it,
// and any other button sets it back to 0.
class CAreaRotary : public CArea2
{
public:
    using ChangeFunction = void (*)(void* context, CAreaRotary* knob, float value);

    static constexpr float kStep = 0.1f;
    static constexpr float kMaxDegrees = 120.0f;

    explicit CAreaRotary(CArea2* parent);

    // Clamped to -1..1 and rounded to the nearest step; a new value calls back and repaints.
    void SetValue(float value);
    float GetValue() const { return m_value; }
    // The value as a fraction of a full turn clockwise (one third per unit), within 0..1.
    float GetRotation() const;
    void SetChangeCallback(void* context, ChangeFunction function) { m_change.Set(context, function); }
    bool IsDragging() const { return m_dragging; }

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerMove(const CPoint& point) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void OnWheel(const CPoint& point, int32_t amount, bool* handled) override;
    void Paint(CTextureAdapter& canvas) override;

private:
    const CZevralImage* m_knob;
    const CZevralImage* m_indents;
    CCallback<ChangeFunction> m_change;
    float m_value = 0.0f;
    bool m_dragging = false;
};
