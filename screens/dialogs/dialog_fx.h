#pragma once

#include "foundation/fx_value.h"
#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaFaderSoft;
class CAreaGrid;

// The dialog in which the operator chooses the effect of one effect group of the programmer
// (intensity, position or colour mix): a list of the shapes that suit the group and faders for
// size, speed and phase. Every change is reported at once, so the controller shows the effect
// while it is being chosen. Ok keeps it; Cancel puts back the value the dialog was opened with and
// reports that (both close with result 1); X resets to no effect and leaves the dialog open.
// Return and keypad Enter work Ok, Escape Cancel.
class CDialogFx : public CArea2
{
public:
    using Callback = void (*)(void* context, CDialogFx* dialog);

    CDialogFx(CArea2* parent, uint32_t group);

    // The value shown and the one Cancel goes back to.
    void SetValue(const CFxValue& value);
    CFxValue GetValue() const { return m_value; }
    uint32_t GetGroup() const { return m_group; }
    // Called after every change, Ok and Cancel included.
    void SetCallback(void* context, Callback function) { m_change.Set(context, function); }

protected:
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void Layout() override;

private:
    void OnShapePress(CAreaGrid* grid, int32_t column, int32_t row);
    void ProvideCell(CAreaGrid* grid, uint32_t column, uint32_t row, std::string& text, CRgbaColour& colour,
                     bool& highlighted, std::vector<CZevralImage>& icons) const;
    void OnChange(const CArea2* source);
    void RefreshControls();
    void Report();

    CAreaGrid* m_shapes;
    CAreaCaptionBar* m_caption;
    CAreaButtonSoft* m_ok;
    CAreaButtonSoft* m_cancel;
    CAreaButtonSoft* m_clear;
    CAreaFaderSoft* m_size;
    CAreaFaderSoft* m_speed;
    CAreaFaderSoft* m_phase;
    uint32_t m_group;
    CFxValue m_value;
    CFxValue m_initialValue;
    CCallback<Callback> m_change;
};
