#pragma once

#include "widgets/area.h"

#include <cstdint>

// A small vertical meter of ten stacked segments: from the bottom up for a value of 0 to 1, or,
// bipolar, from the middle up for positive and down for negative values of -1 to 1. Each lit
// segment is a pixel wider than the one inside it, so the lit part forms a wedge.
class CAreaBar : public CArea2
{
public:
    static constexpr int32_t kSegments = 10;

    CAreaBar(CArea2* parent, bool bipolar);
    ~CAreaBar() override;

    void SetValue(float value);
    float GetValue() const { return m_value; }
    // Segments at half opacity; takes effect at the next repaint.
    void SetDimmed(bool dimmed) { m_dimmed = dimmed; }
    bool IsDimmed() const { return m_dimmed; }
    bool IsBipolar() const { return m_bipolar; }

protected:
    void Paint(CTextureAdapter& canvas) override;

private:
    void DrawSegment(CBaseImage& canvas, const CRect& rect) const;
    void PaintUnipolar(CBaseImage& canvas) const;
    void PaintBipolar(CBaseImage& canvas) const;

    float m_value = 0.0f;
    int32_t m_segmentCount = kSegments;
    bool m_bipolar;
    bool m_dimmed = false;
};
