#include "widgets/area_axis.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "link/message_value.h"
#include "shell/app.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
constexpr uint32_t kSide = 200;
// "-100" whole on the face of a handle as narrow as the page leaves the pad's y strip.
constexpr uint32_t kFontSize = 9;
// No smaller than the large screen's legible size.
constexpr uint32_t kLargeFontSize = 16;
// Room for "-100" in the handle's font: the y handle's strip takes its width from the faders
// beside the pad, and the x handle's its height from below them.
constexpr int32_t kHandleWidth = 26;
constexpr int32_t kHandleHeight = 22;
constexpr int32_t kLargeHandleWidth = 50;
constexpr int32_t kLargeHandleHeight = 40;
// The solid face of a handle keeps this far inside its frame's rounded outline.
constexpr int32_t kHandleFaceInset = 3;
constexpr uint32_t kMarkerSide = 13;
constexpr int32_t kMarkerHalf = 6;
// Inside the frame's rounded outline.
constexpr int32_t kFrameInset = 3;
// Between the grid and the strips the handles run in.
constexpr int32_t kStripGap = 1;
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

CPoint HandleSize()
{
    return CApp::IsHighResolution() ? CPoint(kLargeHandleWidth, kLargeHandleHeight)
                                    : CPoint(kHandleWidth, kHandleHeight);
}

// Where along its strip a handle goes to stand beside the position, kept to the grid's span so
// that it never reaches the corner the other handle's strip ends in.
int32_t Beside(int32_t marker, int32_t side, int32_t from, int32_t length)
{
    return std::max(from, std::min(marker - side / 2, from + length - side));
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

CPoint CAreaAxis::SizeForTravel(int32_t travel)
{
    const int32_t side = travel + 2 * kMarkerHalf + 2 * kFrameInset + kStripGap;
    return CPoint(side, side) + HandleSize();
}

CRect CAreaAxis::GetClientRect() const
{
    // A cross at the very edge still lies whole on the grid, its arms' ends on the outline.
    CRect rect = GetGridRect();
    rect.Shrink(uint32_t(kMarkerHalf));
    return rect;
}

CRect CAreaAxis::GetGridRect() const
{
    const CPoint handle = HandleSize();
    return CRect(kFrameInset, kFrameInset,
                 std::max(0, int32_t(GetWidth()) - 2 * kFrameInset - kStripGap - handle.GetX()),
                 std::max(0, int32_t(GetHeight()) - 2 * kFrameInset - kStripGap - handle.GetY()));
}

CPoint CAreaAxis::CoordinateToPoint(const CCoordinate& coordinate) const
{
    const CRect client = GetClientRect();
    return CPoint(client.GetX() + int32_t((coordinate.GetX() + 1.0f) * 0.5f * float(client.GetWidth())),
                  client.GetY() + int32_t((1.0f - coordinate.GetY()) * 0.5f * float(client.GetHeight())));
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
    // Everything right of the grid is the y handle's strip, everything below it the x handle's: a
    // finger that misses a handle still moves only that handle's axis, never the other one to its
    // end. Where the strips meet no axis is meant.
    const CRect grid = GetGridRect();
    const bool yStrip = point.GetX() >= grid.GetRight();
    const bool xStrip = point.GetY() >= grid.GetBottom();
    if (yStrip && xStrip)
        return;
    if (m_values.empty())
        m_values.emplace_back(CCoordinate());
    CCoordinate p = PointToCoordinate(point);
    if (yStrip)
    {
        m_yDragging = true;
        p.SetX(GetCentre().GetX());
    }
    else if (xStrip)
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
    // One frame round the grid and both handles' strips.
    CGlyphManager::Instance().GetButtonFrame(m_padFrame, GetWidth(), GetHeight(), false, false);
    m_padFrame.Fill(GetColour(), true);

    // An outline round the grid and three lines each way in between, the middle ones where the
    // positions are 0.
    m_grid.Resize(GetWidth(), GetHeight(), true);
    m_grid.Fill(CRgbaColour(0u));
    const CRect grid = GetGridRect();
    if (grid.GetWidth() > 0 && grid.GetHeight() > 0)
    {
        m_grid.DrawRect(gridColour, grid);
        for (const float f : {0.25f, 0.5f, 0.75f})
        {
            const int32_t column = grid.GetX() + int32_t(float(grid.GetWidth()) * f);
            const int32_t row = grid.GetY() + int32_t(float(grid.GetHeight()) * f);
            m_grid.DrawLine(column, grid.GetY(), column, grid.GetBottom() - 1, gridColour);
            m_grid.DrawLine(grid.GetX(), row, grid.GetRight() - 1, row, gridColour);
        }
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
    const CPoint half(kMarkerHalf, kMarkerHalf);
    for (const CMessageValue& value : m_values)
        if (value.GetType() != VALUE_NONE)
            canvas.BlendImage(CoordinateToPoint(value.GetCoordinate()) - half, m_marker);
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
    const CPoint size = HandleSize();
    const uint32_t width = uint32_t(size.GetX());
    const uint32_t height = uint32_t(size.GetY());
    glyphs.GetButtonFrame(up, width, height, false, false);
    glyphs.GetButtonFrame(down, width, height, false, true);
    // A solid face behind the figure, of the ground the pad lies on.
    CRgbaColour face(0, 0, 0, 255);
    const CZevralImage& ground = GetOwnImage();
    if (ground.GetWidth() > 0 && ground.GetHeight() > 0)
    {
        face = ground.GetPixel(CPoint(ground.GetWidth() / 2, ground.GetHeight() / 2));
        face.SetAlpha(255);
    }
    for (CZevralImage* frame : {&up, &down})
    {
        CZevralImage handle(width, height);
        handle.Fill(CRgbaColour(0u));
        CRect inside(0, 0, size.GetX(), size.GetY());
        inside.Shrink(uint32_t(kHandleFaceInset));
        handle.FillRect(face, inside);
        handle.CompositeImage(CPoint(), *frame);
        *frame = std::move(handle);
    }
    // Rounded as a whole number first: a position a hair left of the middle reads 0, not "-0".
    char label[32];
    std::snprintf(label, sizeof(label), "%ld", std::lround(value * 100.0f));
    const CPoint centre(size.GetX() / 2, size.GetY() / 2);
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
    // Each handle runs in its own strip beside the grid, level with the positions' centre, so
    // it covers neither a cross nor the other handle.
    const CPoint centre = CoordinateToPoint(GetCentre());
    const CRect grid = GetGridRect();
    const CPoint size = HandleSize();
    const int32_t width = size.GetX();
    const int32_t height = size.GetY();
    m_xHandleRect = CRect(Beside(centre.GetX(), width, grid.GetX(), grid.GetWidth()),
                          int32_t(GetHeight()) - kFrameInset - height, width, height);
    m_yHandleRect = CRect(int32_t(GetWidth()) - kFrameInset - width,
                          Beside(centre.GetY(), height, grid.GetY(), grid.GetHeight()), width, height);
}

void CAreaAxis::Changed()
{
    m_change(this);
}
