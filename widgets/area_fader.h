#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>
#include <optional>

// The vertical intensity fader of the playback page, a skin cap that travels up and down. It keeps
// two values from 0 to 1: the operator's value, moved by pointer and wheel and reported through the
// change callback, and the displayed value at which the cap is drawn. The page feeds the displayed
// value back from the playback, so the cap shows what the controller holds while a drag works on
// the operator's value.
class CAreaFader : public CArea2
{
public:
    using ChangeFunction = void (*)(void* context, CAreaFader* fader);

    // Styles: 0 draws a stretched track of its own behind the cap; any other value the cap alone
    // over what lies under the fader.
    static constexpr uint32_t kStyleTrack = 0;
    static constexpr uint32_t kStyleCapOnly = 5;

    explicit CAreaFader(CArea2* parent);

    // Kept within 0..1; neither repaints nor calls back.
    void SetValue(float value);
    float GetValue() const { return m_value; }
    // Kept within 0..1; moves the drawn cap.
    void SetDisplayedValue(float value);
    float GetDisplayedValue() const { return m_displayedValue; }
    // Called whenever the operator works the fader, also when the value stays where it was.
    void SetChangeCallback(void* context, ChangeFunction function) { m_change.Set(context, function); }
    void SetStyle(uint32_t style);
    uint32_t GetStyle() const { return m_style; }
    bool IsDragging() const { return m_dragging; }

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerMove(const CPoint& point) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void OnWheel(const CPoint& point, int32_t amount, bool* handled) override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    // The cap's top row for a value.
    int32_t CapTopFor(float value) const;
    // Takes the value from a pointer row and the grab offset, then calls back.
    void TakeValueFrom(int32_t y);
    void CallBack();

    // The stretched track, made by the first layout in the track style.
    std::optional<CZevralImage> m_track;
    const CZevralImage* m_cap;
    CCallback<ChangeFunction> m_change;
    uint32_t m_style = kStyleCapOnly;
    float m_value = 0.0f;
    float m_displayedValue = 0.0f;
    bool m_dragging = false;
    int32_t m_travelTop;
    int32_t m_travelBottom;
    // Pointer row minus the cap's exact top while dragging.
    float m_grabOffset = 0.0f;
};
