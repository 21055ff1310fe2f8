#pragma once

#include "widgets/area.h"

#include <algorithm>
#include <cstdint>
#include <string>

// An unsigned number of two or three digits in a button frame, kept between a minimum and a
// maximum, and optionally wrapping from one bound to the other when stepped.
class CAreaCounter : public CArea2
{
public:
    // 100 x 40 (200 x 80 on a large screen); 0 in 0 .. 100, two digits.
    CAreaCounter(CArea2* parent, bool wrap);

    // Never below the minimum, although the value stored may be.
    uint32_t GetValue() const { return std::max(m_value, m_minimum); }
    uint32_t GetRawValue() const { return m_value; }
    // Kept at most at the maximum; the minimum is not applied.
    void SetValue(uint32_t value);
    // Moves by the signed amount, wrapping or stopping at the bounds.
    void Step(int32_t delta);
    uint32_t GetMinimum() const { return m_minimum; }
    void SetMinimum(uint32_t minimum);
    uint32_t GetMaximum() const { return m_maximum; }
    void SetMaximum(uint32_t maximum);
    // 2 prints two digits; anything else three.
    void SetDigits(uint32_t digits);
    uint32_t GetDigits() const { return m_digits; }
    void SetWrap(bool wrap) { m_wrap = wrap; }
    bool GetWrap() const { return m_wrap; }
    // The number as shown: the stored value with its digits.
    std::string GetText() const;

    void SetColour(CRgbaColour colour) override;

protected:
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    CZevralImage m_frame;
    uint32_t m_value = 0;
    uint32_t m_minimum = 0;
    uint32_t m_maximum = 100;
    uint32_t m_digits = 2;
    bool m_wrap;
};
