#include "widgets/area_axis.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "link/message_value.h"
#include "shell/app.h"

#include <algorithm>
#include <cstdio>

namespace
{
constexpr uint32_t kSide = 200;
constexpr uint32_t kFontSize = 10;
// No smaller than the large screen's legible size.
constexpr uint32_t kLargeFontSize = 16;
constexpr uint32_t kHandleSide = 50;
// The solid face of a handle keeps this far inside its frame's rounded outline.
constexpr int32_t kHandleFaceInset = 3;
constexpr uint32_t kMarkerSide = 13;
constexpr int32_t kMarkerHalf = 6;
// The strips along the bottom and right edges that the handles run in.
constexpr int32_t kHandleStrip = 15;
constexpr int32_t kClientInset = 3;
constexpr uint8_t kMarkerAlpha = 225;
const CRgbaColour kHandleText(255, 255, 255, 255);

float Clamp(float value)
{
    return std::clamp(value, -1.0f, 1.0f);
}

// A fraction of a length; nothing along an axis that has no length.
float Fraction(int32_t offset, int32_t length)
{
    return length > 0 ? float(offset) / float(length) : 0.5f;
}
}  // namespace

CAreaAxis::CAreaAxis(CArea2* parent, bool redrawOnNudge)
    : CArea2(parent, true, kSide, kSide), m_redrawOnNudge(redrawOnNudge)
{
    SetName("CAreaAxis");
    SetFontSize(CApp::IsHighResolution() ? kLargeFontSize : kFontSize);
    BuildXHandle();
    BuildYHandle();
    BuildMarker();
    PlaceHandles();
}

CAreaAxis::~CAreaAxis() = default;

void CAreaAxis::SetValues(const CCoordinate& coordinate)
{
    SetValueList({CMessageValue(coordinate)});
}

void CAreaAxis::SetValueList(const std::vector<CMessageValue>& values)
{
    if (values.size() == m_values.size() && std::equal(values.begin(), values.end(), m_values.begin()))
        return;
    m_values = values;
    BuildXHandle();
    BuildYHandle();
    PlaceHandles();
    SetDirty();
}

std::vector<CMessageValue> CAreaAxis::GetValues() const
{
    return m_values;
}

CCoordinate CAreaAxis::GetCentre() const
{
    if (m_values.empty())
        return CCoordinate();
    float minX = 1.0f, maxX = -1.0f, minY = 1.0f, maxY = -1.0f;
    for (const CMessageValue& value : m_values)
    {
        const CCoordinate& c = value.GetCoordinate();
        minX = std::min(minX, c.GetX());
        maxX = std::max(maxX, c.GetX());
        minY = std::min(minY, c.GetY());
        maxY = std::max(maxY, c.GetY());
    }
    return CCoordinate(Clamp(minX + (maxX - minX) * 0.5f), Clamp(minY + (maxY - minY) * 0.5f));
}

void CAreaAxis::Nudge(float dx, float dy)
{
    if (m_fine)
    {
        dx /= kFineDivisor;
        dy /= kFineDivisor;
    }
    if (dx == 0.0f && dy == 0.0f)
        return;
    for (CMessageValue& value : m_values)
    {
        if (value.GetType() == VALUE_NONE)
            continue;
        const CCoordinate& c = value.GetCoordinate();
        value = CMessageValue(CCoordinate(c.GetX() + dx, c.GetY() + dy));
    }
    if (m_redrawOnNudge)
    {
        BuildXHandle();
        BuildYHandle();
        PlaceHandles();
        SetDirty();
    }
    Changed();
}

CRect CAreaAxis::GetClientRect() const
{
    CRect rect = GetLocalRect();
    rect.Shrink(kClientInset);
    rect.SetWidth(std::max(0, rect.GetWidth() - kHandleStrip));
    rect.SetHeight(std::max(0, rect.GetHeight() - kHandleStrip));
    return rect;
}

void CAreaAxis::SetColour(CRgbaColour colour)
{
    CArea2::SetColour(colour);
    m_padFrame.Fill(colour, true);
}

CCoordinate CAreaAxis::PointToCoordinate(const CPoint& point) const
{
    const CRect client = GetClientRect();
    const float fx = Fraction(point.GetX() - client.GetX(), client.GetWidth());
    const float fy = Fraction(point.GetY() - client.GetY(), client.GetHeight());
    return CCoordinate(2.0f * fx - 1.0f, 1.0f - 2.0f * fy);
}

void CAreaAxis::OnPointerDown(const CPoint& point, uint32_t, bool* handled)
{
    *handled = true;
    if (!IsEnabled())
        return;
    if (m_values.empty())
        m_values.emplace_back(CCoordinate());
    CCoordinate p = PointToCoordinate(point);
    if (m_yHandleRect.Contains(point))
    {
        m_yDragging = true;
        p.SetX(GetCentre().GetX());
    }
    else if (m_xHandleRect.Contains(point))
    {
        m_xDragging = true;
        p.SetY(GetCentre().GetY());
    }
    SetAllPoints(p);
    m_padDragging = true;
}

void CAreaAxis::OnPointerMove(const CPoint& point)
{
    CCoordinate p = PointToCoordinate(point);
    if (m_yDragging)
        p.SetX(GetCentre().GetX());
    else if (m_xDragging)
        p.SetY(GetCentre().GetY());
    else if (!m_padDragging)
        return;
    SetAllPoints(p);
}

void CAreaAxis::OnPointerUp(const CPoint&, bool* handled)
{
    *handled = true;
    m_padDragging = false;
    const bool handleDragEnded = m_xDragging || m_yDragging;
    if (m_xDragging)
        BuildXHandle();
    if (m_yDragging)
        BuildYHandle();
    m_xDragging = false;
    m_yDragging = false;
    if (handleDragEnded)
        SetDirty();
}

void CAreaAxis::OnTick(float)
{
    Nudge(m_drift.GetX(), m_drift.GetY());
}

void CAreaAxis::Layout()
{
    const CRgbaColour gridColour = CRgbaColour(208, 208, 208, 255).Scale(0.5f);
    const uint32_t padWidth = GetWidth() > uint32_t(kHandleStrip) ? GetWidth() - kHandleStrip : 0;
    const uint32_t padHeight = GetHeight() > uint32_t(kHandleStrip) ? GetHeight() - kHandleStrip : 0;
    CGlyphManager::Instance().GetButtonFrame(m_padFrame, padWidth, padHeight, false, false);
    m_padFrame.Fill(GetColour(), true);

    m_grid.Resize(uint32_t(m_padFrame.GetWidth()), uint32_t(m_padFrame.GetHeight()), true);
    m_grid.Fill(CRgbaColour(0u));
    const int32_t w = m_grid.GetWidth();
    const int32_t h = m_grid.GetHeight();
    for (const float f : {0.25f, 0.5f, 0.75f})
    {
        const int32_t row = int32_t(float(h) * f);
        const int32_t column = int32_t(float(w) * f);
        m_grid.DrawLine(3, row, w - 4, row, gridColour);
        m_grid.DrawLine(column, 3, column, h - 4, gridColour);
    }
    // The handles' faces take the ground the pad now lies on.
    BuildXHandle();
    BuildYHandle();
    PlaceHandles();
}

void CAreaAxis::Paint(CTextureAdapter& canvas)
{
    canvas.CompositeImage(CPoint(), m_padFrame);
    if (!IsEnabled())
        return;
    canvas.CompositeImage(CPoint(), m_grid);
    const float padWidth = float(m_padFrame.GetWidth() - 5);
    const float padHeight = float(m_padFrame.GetHeight() - 5);
    for (const CMessageValue& value : m_values)
    {
        if (value.GetType() == VALUE_NONE)
            continue;
        const CCoordinate& c = value.GetCoordinate();
        const int32_t x = int32_t((c.GetX() + 1.0f) * 0.5f * padWidth + 2.0f) - kMarkerHalf;
        const int32_t y = int32_t(((c.GetY() + 1.0f) * -0.5f + 1.0f) * padHeight + 2.0f) - kMarkerHalf;
        canvas.BlendImage(CPoint(x, y), m_marker);
    }
    // The handles lie over the crosses, so their figures stay readable.
    canvas.BlendImage(m_yHandleRect.GetPosition(), m_yDragging ? m_yHandleDown : m_yHandleUp);
    canvas.BlendImage(m_xHandleRect.GetPosition(), m_xDragging ? m_xHandleDown : m_xHandleUp);
}

void CAreaAxis::SetAllPoints(CCoordinate point)
{
    point.Clamp();
    for (CMessageValue& value : m_values)
        value = CMessageValue(point);
    BuildXHandle();
    BuildYHandle();
    PlaceHandles();
    SetDirty();
    Changed();
}

void CAreaAxis::BuildXHandle()
{
    BuildHandle(m_xHandleUp, m_xHandleDown, GetCentre().GetX());
}

void CAreaAxis::BuildYHandle()
{
    BuildHandle(m_yHandleUp, m_yHandleDown, GetCentre().GetY());
}

void CAreaAxis::BuildHandle(CZevralImage& up, CZevralImage& down, float value)
{
    CGlyphManager& glyphs = CGlyphManager::Instance();
    glyphs.GetButtonFrame(up, kHandleSide, kHandleSide, false, false);
    glyphs.GetButtonFrame(down, kHandleSide, kHandleSide, false, true);
    // A solid face, of the ground the pad lies on, so that neither the grid nor a position's
    // cross shows through the figure.
    CRgbaColour face(0, 0, 0, 255);
    const CZevralImage& ground = GetOwnImage();
    if (ground.GetWidth() > 0 && ground.GetHeight() > 0)
    {
        face = ground.GetPixel(CPoint(ground.GetWidth() / 2, ground.GetHeight() / 2));
        face.SetAlpha(255);
    }
    for (CZevralImage* frame : {&up, &down})
    {
        CZevralImage handle(kHandleSide, kHandleSide);
        handle.Fill(CRgbaColour(0u));
        CRect inside(0, 0, int32_t(kHandleSide), int32_t(kHandleSide));
        inside.Shrink(uint32_t(kHandleFaceInset));
        handle.FillRect(face, inside);
        handle.CompositeImage(CPoint(), *frame);
        *frame = std::move(handle);
    }
    char label[32];
    std::snprintf(label, sizeof(label), "%.0f", double(value * 100.0f));
    const CPoint centre(int32_t(kHandleSide / 2), int32_t(kHandleSide / 2));
    DrawText(up, label, kHandleText, centre, kAlignCentre, kAlignMiddle);
    DrawText(down, label, kHandleText, centre, kAlignCentre, kAlignMiddle);
}

void CAreaAxis::BuildMarker()
{
    m_marker.Resize(kMarkerSide, kMarkerSide, true);
    CRgbaColour clear = GetColour();
    clear.SetAlpha(0);
    m_marker.Fill(clear);
    CRgbaColour ink = GetColour();
    ink.SetAlpha(kMarkerAlpha);
    const int32_t w = m_marker.GetWidth();
    const int32_t h = m_marker.GetHeight();
    for (int32_t d = -1; d <= 1; ++d)
    {
        m_marker.DrawLine(0, h / 2 + d, w - 1, h / 2 + d, ink);
        m_marker.DrawLine(w / 2 + d, 0, w / 2 + d, h - 1, ink);
    }
}

void CAreaAxis::PlaceHandles()
{
    const CCoordinate centre = GetCentre();
    const int32_t padWidth = m_padFrame.GetWidth();
    const int32_t padHeight = m_padFrame.GetHeight();
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());

    const int32_t xw = m_xHandleUp.GetWidth();
    const int32_t xh = m_xHandleUp.GetHeight();
    // A handle follows the centre along its edge, but stops where it would leave the pad's frame.
    const auto within = [](int32_t at, int32_t length, int32_t room) {
        return std::max(0, std::min(at, room - length - 1));
    };
    const CPoint xCorner(within(int32_t((centre.GetX() + 1.0f) * 0.5f * float(padWidth) - float(xw) / 2.0f), xw, width),
                         height - xh - 1);
    m_xHandleRect = CRect(xCorner, xCorner + CPoint(xw, xh));

    const int32_t yw = m_yHandleUp.GetWidth();
    const int32_t yh = m_yHandleUp.GetHeight();
    const CPoint yCorner(
        width - yw - 1,
        within(int32_t(((centre.GetY() + 1.0f) * -0.5f + 1.0f) * float(padHeight) - float(yh) / 2.0f), yh, height));
    m_yHandleRect = CRect(yCorner, yCorner + CPoint(yw, yh));
}

void CAreaAxis::Changed()
{
    m_change(this);
}
