#include "widgets/area_fader_soft.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
constexpr uint32_t kBreadth = 70;
constexpr uint32_t kLength = 180;
constexpr uint32_t kFontSize = 8;
// No smaller than the large screen's legible size.
constexpr uint32_t kLargeFontSize = 16;
// The smallest a text in the read-out or caption box is fitted down to, and its margin there.
constexpr int32_t kBoxTextMargin = 1;
constexpr uint32_t kGraphInset = 18;
constexpr uint32_t kLargeGraphInset = 22;
constexpr uint32_t kRightButton = 3;
constexpr float kWheelStep = 0.01f;
constexpr float kFineWheelStep = 0.00033333333f;
constexpr float kHalfLit = 0.6f;
constexpr float kUnlit = 0.3f;

// The width a text may take in a box.
int32_t TextRoom(const CRect& box)
{
    return std::max(0, box.GetWidth() - 2 * kBoxTextMargin);
}
}  // namespace

CAreaFaderSoft::CAreaFaderSoft(CArea2* parent, uint32_t identifier, uint32_t orientation)
    : CArea2(parent, true, orientation == kHorizontal ? kLength : kBreadth,
             orientation == kHorizontal ? kBreadth : kLength),
      m_faderColour(GetColour()), m_id(identifier), m_orientation(orientation),
      m_graphInset(CApp::IsHighResolution() ? kLargeGraphInset : kGraphInset)
{
    SetName("CAreaFaderSoft");
    SetFontSize(CApp::IsHighResolution() ? kLargeFontSize : kFontSize);
}

void CAreaFaderSoft::SetValue(float value)
{
    const std::vector<float> values{Clamp(value)};
    if (values != m_currentValues)
        SetCurrentValues(values);
}

void CAreaFaderSoft::SetValues(const std::vector<float>& values)
{
    std::vector<float> kept;
    for (const float value : values)
    {
        const float clamped = Clamp(value);
        if (std::find(kept.begin(), kept.end(), clamped) == kept.end())
            kept.push_back(clamped);
    }
    if (kept != m_currentValues)
        SetCurrentValues(kept);
}

float CAreaFaderSoft::GetValue() const
{
    return m_userValues.empty() ? 0.0f : *std::max_element(m_userValues.begin(), m_userValues.end());
}

void CAreaFaderSoft::SetMinimum(float minimum)
{
    if (minimum == m_minimum)
        return;
    m_minimum = minimum;
    BuildGraph();
    SetDirty();
}

void CAreaFaderSoft::SetMaximum(float maximum)
{
    if (maximum == m_maximum)
        return;
    m_maximum = maximum;
    BuildGraph();
    SetDirty();
}

void CAreaFaderSoft::SetDefaultValue(float value)
{
    m_defaultValue = std::clamp(value, 0.0f, 1.0f);
}

void CAreaFaderSoft::SetCaption(const std::string& text, bool translate, bool upperCase)
{
    const std::string caption = translate ? CApp::Translate(text, upperCase) : text;
    if (caption == m_caption)
        return;
    m_caption = caption;
    SetDirty();
}

bool CAreaFaderSoft::CaptionFits(const std::string& text) const
{
    // As the caption is drawn: fitted to the box's room, then cut at the box's sides.
    const CRect box = Place(GetCaptionBox());
    uint32_t size = GetFontSize();
    std::string shown = text;
    FitText(uint32_t(TextRoom(box)), shown, size);
    int32_t width = 0;
    int32_t height = 0;
    MeasureText(shown, size, width, height);
    return shown == text && width <= box.GetWidth();
}

void CAreaFaderSoft::SetFaderColour(CRgbaColour colour)
{
    if (colour == m_faderColour)
        return;
    m_faderColour = colour;
    Layout();
    SetDirty();
}

void CAreaFaderSoft::SetColour(CRgbaColour colour)
{
    CArea2::SetColour(colour);
    m_frame.Fill(colour, true);
}

void CAreaFaderSoft::OnPointerDown(const CPoint& point, uint32_t button, bool* handled)
{
    if (!IsEnabled())
        return;
    // The right button puts the default back and lets the press go on to the owner.
    if (button == kRightButton)
    {
        SetValue(m_defaultValue);
        Changed();
        return;
    }
    m_dragging = true;
    *handled = true;
    const bool onKnob = m_knobRect.Contains(point);
    if (onKnob != m_knobPressed)
    {
        m_knobPressed = onKnob;
        SetDirty();
    }
    TakeValueFromPointer(point);
}

void CAreaFaderSoft::OnPointerMove(const CPoint& point)
{
    if (m_dragging)
        TakeValueFromPointer(point);
}

void CAreaFaderSoft::OnPointerUp(const CPoint&, bool* handled)
{
    m_dragging = false;
    if (m_knobPressed)
    {
        m_knobPressed = false;
        SetDirty();
    }
    *handled = true;
}

void CAreaFaderSoft::OnWheel(const CPoint&, int32_t amount, bool* handled)
{
    // A greyed-out fader stands for a group nothing selected has: it must not send values.
    if (!IsEnabled())
        return;
    const float step = CApp::IsShiftDown() || CApp::IsCtrlDown() ? kFineWheelStep : kWheelStep;
    // Neither clamped nor scaled: only the model's answer is brought into the range.
    m_userValues = {GetHighestCurrent() + float(amount) * step};
    Changed();
    *handled = true;
}

void CAreaFaderSoft::Layout()
{
    CGlyphManager& glyphs = CGlyphManager::Instance();
    const bool large = CApp::IsHighResolution();
    const uint32_t breadth = uint32_t(GetBreadth());
    const uint32_t length = uint32_t(GetLength());
    const CZevralImage glyph = glyphs.GetImage("display", "graph", 32);

    glyphs.GetButtonFrame(m_frame, breadth, length, false, false);
    if (m_orientation == kHorizontal)
        m_frame.RotateQuarter(90);
    m_frame.Fill(GetColour(), true);

    const int32_t glyphWidth = std::max(0, int32_t(breadth) - 10 * (large ? 2 : 1));
    m_graphGlyph = CZevralImage(uint32_t(glyphWidth), uint32_t(glyph.GetHeight()));
    m_graphGlyph.ScaleImage(glyph, true);
    m_graphGlyph.Fill(m_faderColour, true);
    BuildGraph();

    glyphs.GetButtonFrame(m_knob, breadth, breadth, false, false);
    glyphs.GetButtonFrame(m_knobDown, breadth, breadth, false, true);
    m_knob.Fill(GetColour(), true);
    m_knobDown.Fill(GetColour(), true);
}

void CAreaFaderSoft::Paint(CTextureAdapter& canvas)
{
    const int32_t breadth = GetBreadth();
    const int32_t length = GetLength();
    const int32_t k = CApp::IsHighResolution() ? 1 : 0;
    const float value = GetHighestCurrent();
    canvas.BlendImage(CPoint(), m_frame);
    if (IsEnabled())
    {
        // The graph is built upright and turned with the fader, so its upright width is its
        // height when lying.
        const bool lying = m_orientation == kHorizontal;
        const int32_t graphWidth = lying ? m_graph.GetHeight() : m_graph.GetWidth();
        const int32_t graphLength = lying ? m_graph.GetWidth() : m_graph.GetHeight();
        const CRect graph(breadth / 2 - graphWidth / 2, breadth / 2, graphWidth, graphLength);
        canvas.BlendImage(Place(graph).GetPosition(), m_graph);
        char readout[32];
        std::snprintf(readout, sizeof(readout), "%.0f", double(value * 100.0f));
        DrawInBox(canvas, CRect(3, 3 + 3 * k, breadth - 6, breadth / 2), readout);
    }
    DrawCaption(canvas);

    const float range = m_maximum - m_minimum;
    float f = range != 0.0f ? (value - m_minimum) / range : 0.0f;
    f = std::isfinite(f) ? std::clamp(f, 0.0f, 1.0f) : 0.0f;
    const float travel = float(length - breadth);
    const CRect upright(breadth / 2 - m_knobDown.GetWidth() / 2, int32_t(travel - f * travel), m_knobDown.GetWidth(),
                        m_knobDown.GetHeight());
    const CRect knob = Place(upright);
    if (IsEnabled())
        canvas.BlendImage(knob.GetPosition(), m_knobPressed ? m_knobDown : m_knob);
    m_knobRect = knob;
}

void CAreaFaderSoft::DrawCaption(CBaseImage& canvas)
{
    if (!m_caption.empty())
        DrawInCaptionBox(canvas, m_caption);
}

void CAreaFaderSoft::DrawInCaptionBox(CBaseImage& canvas, const std::string& text)
{
    DrawInBox(canvas, GetCaptionBox(), text);
}

CRect CAreaFaderSoft::GetCaptionBox() const
{
    const int32_t breadth = GetBreadth();
    const int32_t k = CApp::IsHighResolution() ? 1 : 0;
    const int32_t boxHeight = breadth / 2;
    return CRect(3, GetLength() - 6 + 3 * (1 - k) - boxHeight, breadth - 6, boxHeight);
}

int32_t CAreaFaderSoft::GetLength() const
{
    return int32_t(m_orientation == kHorizontal ? GetWidth() : GetHeight());
}

int32_t CAreaFaderSoft::GetBreadth() const
{
    return int32_t(m_orientation == kHorizontal ? GetHeight() : GetWidth());
}

CRect CAreaFaderSoft::Place(const CRect& upright) const
{
    if (m_orientation != kHorizontal)
        return upright;
    // Turned a quarter clockwise: the upright top goes right, the bottom left.
    return CRect(GetLength() - upright.GetBottom(), upright.GetX(), upright.GetHeight(), upright.GetWidth());
}

void CAreaFaderSoft::TakeValueFromPointer(const CPoint& point)
{
    const int32_t breadth = GetBreadth();
    const int32_t along = m_orientation == kHorizontal ? GetLength() - point.GetX() : point.GetY();
    const int32_t travel = GetLength() - breadth / 2 - breadth / 2;
    float f = 0.0f;
    if (travel > 0)
        f = std::clamp(1.0f - float(along - breadth / 2) / float(travel), 0.0f, 1.0f);
    m_userValues = {m_minimum + (m_maximum - m_minimum) * f};
    Changed();
}

void CAreaFaderSoft::SetCurrentValues(const std::vector<float>& values)
{
    m_currentValues = values;
    m_userValues = values;
    BuildGraph();
    SetDirty();
}

float CAreaFaderSoft::Clamp(float value) const
{
    // A value that is no number at all (a damaged record) reads as the bottom of the range.
    if (std::isnan(value))
        return m_minimum;
    return std::max(m_minimum, std::min(value, m_maximum));
}

float CAreaFaderSoft::GetHighestCurrent() const
{
    return m_currentValues.empty() ? 0.0f : *std::max_element(m_currentValues.begin(), m_currentValues.end());
}

void CAreaFaderSoft::BuildGraph()
{
    float low = 0.0f;
    float high = 0.0f;
    if (!m_currentValues.empty())
    {
        low = *std::min_element(m_currentValues.begin(), m_currentValues.end());
        high = *std::max_element(m_currentValues.begin(), m_currentValues.end());
    }
    const CZevralImage& lit = m_graphGlyph;
    CZevralImage halfLit = m_graphGlyph;
    halfLit.ScaleBrightness(kHalfLit);
    CZevralImage unlit = m_graphGlyph;
    unlit.ScaleBrightness(kUnlit);

    const int32_t breadth = GetBreadth();
    const int32_t pitch = m_graphGlyph.GetHeight() + 1;
    const int32_t count = std::max(0, GetLength() - breadth) / pitch;
    if (count == 0)
    {
        m_graph = CZevralImage();
        return;
    }
    m_graph.Resize(uint32_t(std::max(0, breadth - int32_t(m_graphInset))), uint32_t(count * pitch), true);
    m_graph.Fill(CRgbaColour(0u));
    const int32_t height = m_graph.GetHeight();
    for (int32_t i = 0; i < count; ++i)
    {
        const CZevralImage* segment = &unlit;
        if (m_minimum >= 0.0f)
        {
            const float f = float(i) / float(count);
            if (f < low)
                segment = &lit;
            else if (f < high)
                segment = &halfLit;
        }
        else
        {
            // Below zero the meter lights from 0 toward the values, on either side.
            const float v = m_minimum + (m_maximum - m_minimum) * float(i) / float(count);
            if (v <= 0.0f)
            {
                if ((v == low && low == m_minimum) || v > high)
                    segment = &lit;
                else if (v > low)
                    segment = &halfLit;
            }
            else
            {
                if ((v == low && low == m_maximum) || v < low)
                    segment = &lit;
                else if (v < high)
                    segment = &halfLit;
            }
        }
        m_graph.CopyImage(CPoint(0, height - (i + 1) * pitch), *segment);
    }
    if (m_orientation == kHorizontal)
        m_graph.RotateQuarter(90);
}

void CAreaFaderSoft::DrawInBox(CBaseImage& canvas, const CRect& upright, const std::string& text)
{
    const CRect rect = Place(upright);
    // A text wider than its box (a long caption on a narrow fader) gives up size down to the
    // legible size, and is then shortened in its middle, rather than cut off at both sides.
    uint32_t size = GetFontSize();
    std::string shown = text;
    FitText(uint32_t(TextRoom(rect)), shown, size);
    CZevralImage box = canvas.Crop(rect);
    DrawText(box, shown, GetTextColour(), CPoint(rect.GetWidth() / 2, rect.GetHeight() / 2), kAlignCentre,
             kAlignMiddle, size);
    canvas.CopyImage(rect.GetPosition(), box);
}

void CAreaFaderSoft::Changed()
{
    m_change(this);
}
