#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

#include <string>
#include <vector>

// A fader drawn from glyph frames alone: a framed track with a segment meter, a square knob, a
// percentage read-out at the top and a caption at the bottom.
//
// It keeps two lists of values. The current values come from the owner (the model's answer) and
// are what is drawn: the meter lights up to the lowest, half-lights the span up to the highest, and
// the read-out shows the highest. The user values are what the pointer and the wheel ask for
// (always one value) before the change callback runs; the owner reads GetValue there and sends it
// on, and the answer comes back through SetValue, which replaces both lists.
class CAreaFaderSoft : public CArea2
{
public:
    using ChangeCallback = void (*)(void* context, CAreaFaderSoft* fader);

    static constexpr uint32_t kVertical = 0;
    static constexpr uint32_t kHorizontal = 1;

    // 70 x 180 (180 x 70 horizontal), with its own surface.
    CAreaFaderSoft(CArea2* parent, uint32_t identifier, uint32_t orientation = kVertical);

    // Clamped to the range; replaces the current and the user values.
    virtual void SetValue(float value);
    // Each clamped to the range, repeats dropped (the first kept, the order kept).
    void SetValues(const std::vector<float>& values);
    // The highest user value; 0 when there is none.
    float GetValue() const;
    const std::vector<float>& GetValues() const { return m_currentValues; }
    float GetMinimum() const { return m_minimum; }
    float GetMaximum() const { return m_maximum; }
    void SetMinimum(float minimum);
    void SetMaximum(float maximum);
    // Taken on a press with the right button; kept within 0..1.
    void SetDefaultValue(float value);
    void SetChangeCallback(void* context, ChangeCallback callback) { m_change.Set(context, callback); }
    uint32_t GetId() const { return m_id; }
    // With translate the text goes through the phrase lookup, upper-cased with upperCase.
    void SetCaption(const std::string& text, bool translate, bool upperCase);
    const std::string& GetCaption() const { return m_caption; }
    // Whether a text reads whole in the caption box: not shortened in its middle to fit, nor cut
    // at the box's sides.
    bool CaptionFits(const std::string& text) const;
    // The colour of the meter's segments.
    void SetFaderColour(CRgbaColour colour);
    // Also tints the frame.
    void SetColour(CRgbaColour colour) override;
    // Where the knob was last drawn.
    const CRect& GetKnobRect() const { return m_knobRect; }

protected:
    // The bottom box; the parameter fader shows its number there for a while.
    virtual void DrawCaption(CBaseImage& canvas);
    // Draws the text centred in the bottom box, clipped to it.
    void DrawInCaptionBox(CBaseImage& canvas, const std::string& text);

    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerMove(const CPoint& point) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void OnWheel(const CPoint& point, int32_t amount, bool* handled) override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    // Along the track (long side) and across it (short side), whatever the orientation.
    int32_t GetLength() const;
    int32_t GetBreadth() const;
    // A rectangle given as if the fader stood upright, in this fader's coordinates.
    CRect Place(const CRect& upright) const;
    // The bottom box, upright.
    CRect GetCaptionBox() const;
    void TakeValueFromPointer(const CPoint& point);
    void SetCurrentValues(const std::vector<float>& values);
    float Clamp(float value) const;
    float GetHighestCurrent() const;
    void BuildGraph();
    void DrawInBox(CBaseImage& canvas, const CRect& upright, const std::string& text);
    void Changed();

    CZevralImage m_frame;
    CZevralImage m_graph;
    CZevralImage m_knob;
    CZevralImage m_knobDown;
    CZevralImage m_graphGlyph;
    CCallback<ChangeCallback> m_change;
    std::string m_caption;
    CRect m_knobRect;
    CRgbaColour m_faderColour;
    std::vector<float> m_userValues;
    float m_defaultValue = 0.0f;
    float m_minimum = 0.0f;
    float m_maximum = 1.0f;
    uint32_t m_id;
    bool m_dragging = false;
    bool m_knobPressed = false;
    uint32_t m_orientation;
    // The graph is this much narrower than the fader.
    uint32_t m_graphInset;
    std::vector<float> m_currentValues;
};
