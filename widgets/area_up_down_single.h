#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>

class CAreaButton;
class CAreaButtonSoft;
class CAreaCounter;

// A counter between two arrow buttons, up over down or left and right of it, that step it by one
// and keep stepping while held. The owner hears of every step a button makes.
class CAreaUpDownSingle : public CArea2
{
public:
    using ChangeCallback = void (*)(void* context, CAreaUpDownSingle* widget);

    // Any other orientation is vertical.
    static constexpr int32_t kHorizontal = 1;

    // 40 x 120 (vertical) or 120 x 40; the counter wraps within 1 .. 512.
    CAreaUpDownSingle(CArea2* parent, int32_t orientation);

    uint32_t GetValue() const;
    uint32_t GetRawValue() const;
    uint32_t GetMinimum() const;
    uint32_t GetMaximum() const;
    void SetValue(uint32_t value);
    void SetMinimum(uint32_t minimum);
    void SetMaximum(uint32_t maximum);
    void SetWrap(bool wrap);
    // Fixing either button's enabled state ends the automatic enabling of both.
    void SetFirstEnabled(bool enabled);
    void SetSecondEnabled(bool enabled);
    // A click on the button, as if the pointer had made it.
    void PressFirst();
    void PressSecond();
    void SetChangeCallback(void* context, ChangeCallback callback) { m_change.Set(context, callback); }

    CAreaCounter* GetCounter() const { return m_counter; }
    // Up or right: steps up.
    CAreaButtonSoft* GetFirstButton() const { return m_first; }
    // Down or left: steps down.
    CAreaButtonSoft* GetSecondButton() const { return m_second; }

    // Steps the counter one at a time, up for a positive count; only while enabled.
    virtual void StepBy(int32_t count);
    // A button was clicked: one step, then the owner is told.
    virtual void OnButton(CAreaButton* button);
    virtual void UpdateButtons();

protected:
    void Layout() override;

private:
    CAreaCounter* m_counter = nullptr;
    CAreaButtonSoft* m_first = nullptr;
    CAreaButtonSoft* m_second = nullptr;
    CCallback<ChangeCallback> m_change;
    bool m_automaticEnabling = true;
    bool m_firstEnabled = true;
    bool m_secondEnabled = true;
    int32_t m_orientation;
};
