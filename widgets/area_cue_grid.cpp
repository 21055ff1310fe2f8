#include "widgets/area_cue_grid.h"

#include "foundation/notify_codes.h"
#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"

#include <algorithm>
#include <cstdlib>
#include <set>

namespace
{
constexpr uint32_t kWidth = 642;
constexpr uint32_t kHeight = 94;
constexpr uint32_t kFontSize = 12;
constexpr uint32_t kLargeFontSize = 24;
const CRgbaColour kUsedFrame(255, 0, 0, 255);
const CRgbaColour kWhite(255, 255, 255, 255);
// The fill of a selected cell: the grid's colour darkened, as chosen rows of the lists are, kept
// this far inside the cell's frame.
constexpr float kSelectedShade = 0.6f;
constexpr int32_t kSelectedInset = 3;
// A press that has carried the strip further than this is a scroll, never a hold: an operator
// dragging slowly through a long cue list must not find every cue selected.
constexpr int32_t kHoldSlop = 6;

uint32_t Scaled(uint32_t size)
{
    return CApp::IsHighResolution() ? 2 * size : size;
}
}  // namespace

CAreaCueGrid::CAreaCueGrid(CArea2* parent)
    : CArea2(parent, true, Scaled(kWidth), Scaled(kHeight)), m_owner(parent)
{
    SetName("CAreaCueGrid");
}

CAreaCueGrid::~CAreaCueGrid()
{
    m_cueSet.Clear(this);
}

void CAreaCueGrid::SetPlayback(CPlayback* playback)
{
    if (!m_playback.Follow(playback))
        return;
    m_cueSet.Clear(this);
    // Another playback's cues start at the first.
    m_scrollTarget = 0;
    SetOffset(0);
    if (m_playback)
    {
        HandleNotify(m_playback, NOTIFY_UNKNOWN);
    }
    else
    {
        // Without a playback the strip is empty, rather than showing the last one's cells.
        UpdateCells();
    }
    SetDirty();
}

void CAreaCueGrid::SetSelection(int32_t first, int32_t count)
{
    if (first == m_selectionFirst && count == m_selectionCount)
        return;
    m_selectionFirst = first;
    m_selectionCount = count;
    SetDirty();
}

bool CAreaCueGrid::IsSelected(int32_t cell) const
{
    return m_selectionFirst >= 0 && m_selectionCount != 0 && cell >= m_selectionFirst &&
           int64_t(cell) < int64_t(m_selectionFirst) + m_selectionCount;
}

void CAreaCueGrid::SetScrollOffset(int32_t offset)
{
    SetOffset(offset);
}

void CAreaCueGrid::HandleNotify(CSubject* subject, uint32_t code)
{
    // A subject that goes is only forgotten: its derived part is gone already.
    if (m_playback.Forget(subject, code))
    {
        m_cueSet.Clear(this);
        UpdateCells();
        SetDirty();
        return;
    }
    if (code == NOTIFY_RELEASE)
    {
        if (m_cueSet.Contains(subject))
        {
            std::set<CSubject*> rest = m_cueSet.GetSubjects();
            rest.erase(subject);
            m_cueSet.Clear(this);
            for (CSubject* cue : rest)
                m_cueSet.Add(this, cue);
            SetDirty();
        }
        return;
    }
    if (subject == m_playback)
    {
        if (code == NOTIFY_SELECTION)
            return;
        UpdateCells();
        ObserveCues();
        return;
    }
    const CCue* cue = dynamic_cast<const CCue*>(subject);
    if (!cue || !m_cueSet.Contains(subject))
        return;
    const int32_t index = cue->GetIndex();
    if (index >= 0 && uint32_t(index) < m_cellCount)
        SetDirty();
}

void CAreaCueGrid::OnPointerDown(const CPoint& point, uint32_t, bool* handled)
{
    *handled = true;
    if (!IsEnabled())
        return;
    const int32_t side = GetCellSide();
    const int64_t position = int64_t(point.GetX()) + m_scrollOffset;
    // Left of the first cell (while the strip springs back) there is no cue either.
    const int64_t cell = side > 0 && position >= 0 ? position / side : -1;
    const uint32_t cues = m_playback ? m_playback->GetCueCount() : 0;
    int32_t reported = -1;
    if (cell >= 0 && cell < int64_t(cues))
    {
        reported = int32_t(cell);
        m_holding = true;
    }
    m_holdTime = 0.0f;
    m_holdReported = false;
    m_pressed = true;
    m_lastPoint = point;
    m_pressPoint = point;
    m_press(this, reported);
}

void CAreaCueGrid::OnPointerMove(const CPoint& point)
{
    if (!m_pressed)
        return;
    const int32_t wanted = m_scrollOffset + (m_lastPoint.GetX() - point.GetX());
    if (std::abs(point.GetX() - m_pressPoint.GetX()) > int32_t(Scaled(uint32_t(kHoldSlop))))
        m_holding = false;
    m_scrollTarget = ScrollTargetFor(wanted);
    SetOffset(wanted);
    m_lastPoint = point;
}

void CAreaCueGrid::OnPointerUp(const CPoint&, bool* handled)
{
    m_pressed = false;
    m_holding = false;
    m_holdReported = false;
    m_holdTime = 0.0f;
    *handled = true;
}

void CAreaCueGrid::OnTick(float seconds)
{
    if (m_holding)
    {
        m_holdTime += seconds;
        if (m_holdTime >= kHoldSeconds && !m_holdReported)
        {
            m_holdReported = true;
            m_hold(this);
        }
    }
    if (m_pressed)
        return;
    const int32_t difference = m_scrollTarget - m_scrollOffset;
    if (std::abs(difference) == 1)
        SetOffset(m_scrollTarget);
    else
        SetOffset(m_scrollOffset + difference / 2);
}

void CAreaCueGrid::Layout()
{
    SetFontSize(CApp::IsHighResolution() ? kLargeFontSize : kFontSize);
    UpdateCells();
    KeepScrollWithinCells();
    const uint32_t side = uint32_t(GetCellSide());
    m_cell.Resize(side, side, true);
    CGlyphManager::Instance().GetButtonFrame(m_frame, side, side, false, false);
    CGlyphManager::Instance().GetButtonFrame(m_selectedFrame, side, side, false, true);
}

void CAreaCueGrid::Paint(CTextureAdapter& canvas)
{
    const int64_t side = GetCellSide();
    if (side <= 0)
        return;
    // Only the cells that reach the strip need composing.
    for (uint32_t cell = 0; cell < m_cellCount; ++cell)
    {
        const int64_t x = int64_t(cell) * side - m_scrollOffset;
        if (x + side <= 0)
            continue;
        if (x >= int64_t(GetWidth()))
            break;
        PaintCell(cell);
        canvas.CopyImage(CPoint(int32_t(x), 0), m_cell);
    }
}

void CAreaCueGrid::OnVisibleChanged()
{
    CArea2::OnVisibleChanged();
    if (!IsVisible())
        SetPlayback(nullptr);
}

void CAreaCueGrid::UpdateCells()
{
    const uint32_t count = m_playback ? m_playback->GetCueCount() : 0;
    if (count == m_cellCount)
        return;
    m_cellCount = count;
    SetDirty();
    KeepScrollWithinCells();
}

void CAreaCueGrid::KeepScrollWithinCells()
{
    // A strip that lost cues (or grew wider) must not stay scrolled past its last cell, where it
    // would show nothing at all: it goes straight to where it settles.
    m_scrollTarget = ScrollTargetFor(m_scrollTarget);
    const int64_t end = int64_t(m_cellCount) * GetCellSide() - int64_t(GetWidth());
    if (m_scrollOffset > std::max<int64_t>(0, end))
        SetOffset(m_scrollTarget);
}

void CAreaCueGrid::ObserveCues()
{
    if (m_playback)
        m_playback->AttachCues(this, &m_cueSet);
    else
        m_cueSet.Clear(this);
}

void CAreaCueGrid::PaintCell(uint32_t cell)
{
    const int32_t side = GetCellSide();
    std::string first = std::to_string(cell + 1);
    std::string condition;
    std::string delay = "-";
    std::string fade = "-";
    CRgbaColour frameColour = GetColour();
    CRgbaColour textColour = GetTextColour();
    const CCue* cue = m_playback ? m_playback->GetCue(cell) : nullptr;
    if (cue)
    {
        condition = CApp::Translate(CCue::ConditionName(cue->GetCondition()), false);
        if (!cue->GetLabel().empty())
            first = cue->GetLabel();
        delay = cue->GetDelayTime().ToShortString();
        fade = cue->GetFadeTime().ToShortString();
        if (!cue->IsEmpty())
            frameColour = kUsedFrame;
    }

    m_cell.Resize(uint32_t(side), uint32_t(side), true);
    GetOwnImage().ExtractImage(m_cell, CPoint(int32_t(cell) * side - m_scrollOffset, 0));
    const bool selected = IsSelected(int32_t(cell));
    if (selected)
    {
        // A selected cell is filled, as chosen rows of the lists are, so the selection reads at
        // a glance whatever colour its frame has (red for a cue that holds values).
        CRect inside(0, 0, side, side);
        inside.Shrink(uint32_t(kSelectedInset * (CApp::IsHighResolution() ? 2 : 1)));
        m_cell.FillRect(GetColour().Scale(kSelectedShade), inside);
        textColour = GetBackgroundColour();
        textColour.SetAlpha(255);
    }
    if (cue && cue->GetHighlight() > 0.0f)
        textColour = CRgbaColour::Blend(textColour, kWhite, std::min(cue->GetHighlight(), 1.0f));
    CZevralImage& frame = selected ? m_selectedFrame : m_frame;
    frame.Fill(frameColour, true);
    m_cell.CompositeImage(CPoint(), frame);

    const int32_t k = CApp::IsHighResolution() ? 1 : 0;
    const int32_t margin = 3 * (k + 1);
    const int32_t row = (side - 2 * margin) / 4;
    auto drawRow = [&](const std::string& text, float r) {
        const CPoint anchor(side / 2, int32_t(float(row) * r + float(margin)));
        // A long label is shortened in its middle rather than cut off at both sides of the cell.
        std::string shown = text;
        ShortenToFit(uint32_t(std::max(0, side - 4 * margin)), shown, GetFontSize());
        DrawText(m_cell, shown, textColour, anchor, kAlignCentre, kAlignMiddle);
    };
    drawRow(first, 0.5f);
    if (!condition.empty())
        drawRow(delay, 1.5f);
    if (!delay.empty())
        drawRow(condition, 2.5f);
    drawRow(fade, 3.5f);
    m_cell.FlattenAlpha();
}

int32_t CAreaCueGrid::ScrollTargetFor(int32_t offset) const
{
    const int64_t side = GetCellSide();
    const int64_t width = GetWidth();
    const int64_t span = int64_t(m_cellCount) * side;
    if (side <= 0 || span <= width)
        return 0;
    // To the nearest cell, halves down.
    const int64_t half = side / 2;
    int64_t rest = offset;
    if (rest > half)
        rest -= (rest - half + side - 1) / side * side;
    return int32_t(std::clamp<int64_t>(int64_t(offset) - rest, 0, span - width));
}

void CAreaCueGrid::SetOffset(int32_t offset)
{
    offset = std::max(offset, -kMaxOverscroll);
    if (offset == m_scrollOffset)
        return;
    m_scrollOffset = offset;
    SetDirty();
}
