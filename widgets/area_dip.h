#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>

// A bank of ten DIP switches as found on DMX fixtures, "on" printed above each and its number below.
// The switch positions are the bits of one value, switch n being bit n - 1; a press toggles the
// switch under the pointer.
class CAreaDip : public CArea2
{
public:
    using ChangeCallback = void (*)(void* context, CAreaDip* bank);

    static constexpr uint32_t kSwitchCount = 10;

    // 200 x 40 (200 x 80 on a large screen).
    explicit CAreaDip(CArea2* parent);

    uint32_t GetValue() const { return m_value; }
    // Shows the value as it is; the change callback hears only of presses.
    void SetValue(uint32_t value);
    void SetChangeCallback(void* context, ChangeCallback callback) { m_change.Set(context, callback); }

protected:
    // The press is taken whether or not the bank is enabled.
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    // The width of one switch's column; 0 for a bank too narrow to hold ten.
    int32_t GetColumnWidth() const { return int32_t(GetWidth() / kSwitchCount); }
    void PaintEndSwitch(CTextureAdapter& canvas, bool on, bool last, int32_t x, int32_t y) const;

    CCallback<ChangeCallback> m_change;
    CZevralImage m_backgroundFrame;
    CZevralImage m_endSwitch;
    CZevralImage m_lever;
    uint32_t m_value = 0;
};
