#include "widgets/area_grid.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"
#include "widgets/area_scrollbar.h"
#include "widgets/connect.h"

#include <algorithm>

namespace
{
constexpr uint32_t kRowHeight = 45;
constexpr uint32_t kLargeRowHeight = 90;
// Room the scroll bar and the frame take from the width, and the frame and header from the height.
constexpr int32_t kFrameWidth = 37;
constexpr int32_t kFrameHeight = 44;
// The equal share of the width is taken from this much less; the last column adds the remainder
// of a division by one pixel less.
constexpr int32_t kEqualShareMargin = 41;
constexpr int32_t kRemainderMargin = 40;
// Frames are built only for widths in this range.
constexpr int32_t kMinFrameWidth = 61;
constexpr int32_t kMaxFrameWidth = 2559;
const CPoint kContentPosition(3, 38);
const CPoint kPointerOrigin(3, 37);
constexpr int32_t kTitleInset = 9;
constexpr int32_t kTitleMiddle = 19;
constexpr int32_t kIconInset = 5;
constexpr int32_t kTextInset = 5;
constexpr int32_t kTextMargin = 8;
constexpr float kHighlightShade = 0.6f;
constexpr float kLineShade = 0.4f;
constexpr float kEasing = 0.75f;
constexpr size_t kMaxIcons = 32;

int32_t ClampToInt(int64_t value)
{
    return int32_t(std::max<int64_t>(INT32_MIN, std::min<int64_t>(value, INT32_MAX)));
}
}

CAreaGrid::CAreaGrid(CArea2* parent, bool scrollbar, bool showSelectionFrame)
    : CArea2(parent, !scrollbar, 400, 250),
      m_rowHeight(CApp::IsHighResolution() ? kLargeRowHeight : kRowHeight),
      m_showSelectionFrame(showSelectionFrame),
      m_hasScrollbar(scrollbar)
{
    SetName("CAreaGrid");
    if (scrollbar)
    {
        m_scrollbar = MakeChild<CAreaScrollbar>(true);
        m_scrollbar->SetMarkOffset(kHeaderHeight);
        Connect<&CAreaGrid::OnScrollbar>(m_scrollbar, &CAreaScrollbar::SetCallback, this);
        m_scrollbar->SetSkinnedEnds(true);
    }
}

// Rows and columns

void CAreaGrid::SetRowCount(uint32_t count)
{
    count = std::min(count, kMaxRows);
    if (count != m_rowCount)
    {
        m_rowCount = count;
        SetDirty();
        KeepScrollWithinRows();
    }
    SyncScrollbar();
}

void CAreaGrid::SetRowHeight(uint32_t height)
{
    if (height == 0 || height == m_rowHeight)
        return;
    m_rowHeight = height;
    Layout();
}

void CAreaGrid::SetColumnCount(uint32_t count)
{
    count = std::max(1u, std::min(count, kMaxColumns));
    if (count == m_columnCount)
        return;
    m_columnCount = count;
    SetDirty();
}

void CAreaGrid::SetEqualColumns(bool equal)
{
    if (equal == m_equalColumns)
        return;
    m_equalColumns = equal;
    SetDirty();
}

void CAreaGrid::SetColumnWidth(uint32_t column, uint32_t width)
{
    // No grid has more columns; a wild index would grow the list without end.
    if (column >= kMaxColumns)
        return;
    if (m_columnWidths.size() <= column)
        m_columnWidths.resize(column + 1, kDefaultColumnWidth);
    m_columnWidths[column] = width;
    SetDirty();
}

int64_t CAreaGrid::ListedWidth(uint32_t column) const
{
    return column < m_columnWidths.size() ? m_columnWidths[column] : kDefaultColumnWidth;
}

uint32_t CAreaGrid::GetSpareColumnWidth(uint32_t first, uint32_t last) const
{
    if (last < first)
        return 0;
    int64_t spare = int64_t(GetWidth()) - (m_hasScrollbar ? int64_t(kScrollbarWidth) : 0);
    for (uint32_t column = 0; column < m_columnWidths.size(); ++column)
        if (column < first || column > last)
            spare -= m_columnWidths[column];
    return uint32_t(std::max<int64_t>(0, spare / (int64_t(last) - first + 1)));
}

CRect CAreaGrid::GetColumnRect(uint32_t column) const
{
    column = std::min(column, m_columnCount - 1);
    const int64_t width = GetWidth();
    const bool last = column == m_columnCount - 1;
    int64_t x = 0;
    int64_t extent = 0;
    if (m_equalColumns)
    {
        const int64_t share = std::max<int64_t>(0, m_hasScrollbar ? width - kEqualShareMargin : width) / m_columnCount;
        x = column * share;
        extent = share;
        if (last)
        {
            const int64_t rest = width > kRemainderMargin ? (width - kRemainderMargin) % m_columnCount : 0;
            extent = std::min(share + rest, width);
        }
    }
    else
    {
        for (uint32_t c = 0; c < column; ++c)
            x += ListedWidth(c);
        extent = ListedWidth(column);
        if (last && m_hasScrollbar)
            extent = std::max<int64_t>(0, width - kFrameWidth - x);
    }
    return CRect(ClampToInt(x), 0, ClampToInt(extent), int32_t(m_rowHeight) - 1);
}

int64_t CAreaGrid::ColumnWidth(uint32_t column) const
{
    return GetColumnRect(column).GetWidth();
}

void CAreaGrid::HitTest(const CPoint& point, int32_t& column, int32_t& row) const
{
    // A column holds the x values just right of its left edge up to its right edge inclusive;
    // past the last column its width repeats.
    const int64_t x = point.GetX();
    int64_t edge = 0;
    column = 0;
    for (;;)
    {
        const int64_t width = ColumnWidth(uint32_t(std::min<int64_t>(column, UINT32_MAX)));
        if (width <= 0 || x <= edge + width || column == INT32_MAX)
            break;
        edge += width;
        ++column;
    }
    if (point.GetY() < 0)
    {
        row = -1;
        return;
    }
    // Rows likewise, in the scrolled content: y' = 0 is row 0.
    const int64_t y = int64_t(point.GetY()) + m_scrollOffset;
    const int64_t height = m_rowHeight;
    if (height == 0 || y == 0)
        row = 0;
    else if (y > 0)
        row = ClampToInt((y - 1) / height);
    else
        row = ClampToInt(-((-y) / height) - 1);
}

// Callbacks

// Selection and scrolling

void CAreaGrid::SetSelection(const CRect& selection)
{
    if (selection == m_selection)
        return;
    m_selection = selection;
    if (int64_t(m_selection.GetY()) >= int64_t(m_rowCount))
    {
        m_selection.SetWidth(0);
        m_selection.SetHeight(0);
    }
    SetDirty();
    m_selectionChanged(this);
}

void CAreaGrid::ScrollToCell(int32_t row, bool immediate)
{
    // A hidden grid lays itself out only when shown; a dialog that chooses a row before it shows
    // needs the rows it will show now.
    if (!IsVisible())
        Layout();
    int64_t first = int64_t(row) - m_visibleRows / 2;
    first = std::min<int64_t>(first, int64_t(m_rowCount) - m_visibleRows);
    first = std::max<int64_t>(first, 0);
    m_scrollTarget = ScrollTargetFor(first * m_rowHeight);
    if (!immediate)
        return;
    m_scrollOffset = m_scrollTarget;
    SetDirty();
    SyncScrollbar();
}

void CAreaGrid::RepaintRow(uint32_t)
{
    SetDirty();
}

CPoint CAreaGrid::GetContentOrigin() const
{
    return m_hasScrollbar ? kContentPosition : CPoint();
}

int32_t CAreaGrid::GetMaxOffset() const
{
    return ClampToInt(int64_t(m_rowCount) * m_rowHeight - m_content.GetHeight());
}

int32_t CAreaGrid::ScrollTargetFor(int64_t wanted) const
{
    if (int64_t(m_rowCount) * m_rowHeight <= m_content.GetHeight())
        return 0;
    int64_t target = wanted;
    if (target > 0 && m_rowHeight > 0)
    {
        // The nearest whole row, a half row going down.
        const int64_t rest = target % m_rowHeight;
        target -= rest;
        if (rest * 2 > int64_t(m_rowHeight))
            target += m_rowHeight;
    }
    return int32_t(std::max<int64_t>(0, std::min<int64_t>(target, GetMaxOffset())));
}

void CAreaGrid::KeepScrollWithinRows()
{
    // A list that lost rows (or grew taller) must not stay scrolled past its last row, where it
    // would show nothing at all: it goes straight to where it settles.
    m_scrollTarget = ScrollTargetFor(m_scrollTarget);
    if (m_scrollOffset > std::max(0, GetMaxOffset()))
        SetOffset(m_scrollTarget);
}

void CAreaGrid::SetOffset(int64_t offset)
{
    const int32_t limited = ClampToInt(std::max<int64_t>(offset, kLowestOffset));
    if (limited == m_scrollOffset)
        return;
    m_scrollOffset = limited;
    SetDirty();
    SyncScrollbar();
}

void CAreaGrid::SyncScrollbar()
{
    if (!m_scrollbar || m_syncing)
        return;
    m_syncing = true;
    const uint32_t visible = uint32_t(std::max(m_visibleRows, 0));
    int64_t position = 0;
    if (m_scrollOffset == GetMaxOffset())
        position = int64_t(m_rowCount) - visible;
    else if (m_rowHeight > 0)
        position = int64_t(float(m_scrollOffset) / float(m_rowHeight) + 0.5f);
    // Content pulled below its top shows the first row.
    position = std::max<int64_t>(position, 0);
    m_scrollbar->SetRange(m_rowCount, visible, uint32_t(std::min<int64_t>(position, UINT32_MAX)));
    m_syncing = false;
}

void CAreaGrid::OnScrollbar(CAreaScrollbar* scrollbar)
{
    if (!IsEnabled())
        return;
    m_scrollTarget = ScrollTargetFor(int64_t(scrollbar->GetPosition()) * m_rowHeight);
    SetOffset(m_scrollTarget);
}

void CAreaGrid::SetColour(CRgbaColour colour)
{
    CArea2::SetColour(colour);
    Refresh(false);
}

// Input

void CAreaGrid::OnPointerDown(const CPoint& point, uint32_t, bool* handled)
{
    *handled = true;
    if (!IsEnabled())
        return;
    int32_t column = 0;
    int32_t row = 0;
    HitTest(point - (m_hasScrollbar ? kPointerOrigin : CPoint()), column, row);
    if (row >= 0)
        m_press(this, column, row);
    m_pressed = true;
    m_pressColumn = column;
    m_pressRow = row;
    m_lastPoint = point;
    if (CApp::IsShiftDown())
        SetSelection(CRect::FromCorners(m_selection.GetX(), m_selection.GetY(), column, row));
    else
        SetSelection(CRect(column, row, 1, 1));
}

void CAreaGrid::OnPointerMove(const CPoint& point)
{
    if (!m_pressed)
        return;
    if (m_hasScrollbar)
    {
        int32_t column = 0;
        int32_t row = 0;
        HitTest(point - kPointerOrigin, column, row);
        SetSelection(CRect::FromCorners(m_pressColumn, std::max(m_pressRow, 0), column, std::max(row, 0)));
        return;
    }
    const int64_t moved = int64_t(m_lastPoint.GetY()) - point.GetY();
    m_scrollTarget = ScrollTargetFor(m_scrollOffset + moved);
    SetOffset(m_scrollOffset + moved);
    m_lastPoint = point;
}

void CAreaGrid::OnPointerUp(const CPoint&, bool* handled)
{
    m_pressed = false;
    *handled = true;
}

void CAreaGrid::OnDoubleClick(const CPoint& point, uint32_t, bool* handled)
{
    if (!IsEnabled())
        return;
    const CPoint content = point - (m_hasScrollbar ? kPointerOrigin : CPoint());
    int32_t column = 0;
    int32_t row = 0;
    HitTest(content, column, row);
    if (content.GetY() < 0)
        SetSelection(CRect(column, 0, 1, int32_t(m_rowCount)));
    else
        m_doubleClick(this, column);
    *handled = true;
}

void CAreaGrid::OnWheel(const CPoint&, int32_t amount, bool* handled)
{
    *handled = true;
    if (!m_scrollbar || !IsEnabled())
        return;
    if (amount <= 0)
    {
        if (m_scrollbar->CanScrollForward())
            m_scrollTarget = ScrollTargetFor(int64_t(m_scrollOffset) + m_rowHeight);
    }
    else if (m_scrollbar->CanScrollBack())
    {
        m_scrollTarget = ScrollTargetFor(int64_t(m_scrollOffset) - m_rowHeight);
    }
    SyncScrollbar();
}

void CAreaGrid::OnTick(float)
{
    if (m_pressed)
        return;
    const int64_t difference = int64_t(m_scrollTarget) - m_scrollOffset;
    if (difference == 0)
        return;
    if (difference == 1 || difference == -1)
        SetOffset(m_scrollTarget);
    else
        SetOffset(m_scrollOffset + int64_t(kEasing * float(difference)));
}

// Layout and painting

void CAreaGrid::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    if (m_scrollbar)
        m_scrollbar->SetRect(CRect(width - int32_t(kScrollbarWidth), 0, int32_t(kScrollbarWidth), height));
    if (m_hasScrollbar)
        m_content.Resize(uint32_t(std::max(0, width - kFrameWidth)), uint32_t(std::max(0, height - kFrameHeight)));
    else
        m_content.Resize(GetWidth(), GetHeight());
    if (m_hasScrollbar && width >= kMinFrameWidth && width <= kMaxFrameWidth)
    {
        CGlyphManager::Instance().BuildDisplayFrame(m_frameTop, m_frameMiddle, m_frameBottom,
                                                    uint32_t(width) - kScrollbarWidth, GetHeight(), kHeaderHeight);
        m_frameTop.Fill(GetColour(), true);
        m_frameMiddle.Fill(GetColour(), true);
        m_frameBottom.Fill(GetColour(), true);
    }
    KeepScrollWithinRows();
    const int32_t visible = m_rowHeight > 0 ? m_content.GetHeight() / int32_t(m_rowHeight) : 0;
    if (visible != m_visibleRows)
    {
        m_visibleRows = visible;
        SyncScrollbar();
    }
    SetDirty();
}

void CAreaGrid::Paint(CTextureAdapter& canvas)
{
    const int32_t height = int32_t(GetHeight());
    if (m_hasScrollbar)
    {
        canvas.CompositeImage(CPoint(), m_frameTop);
        canvas.BlendImage(CPoint(0, m_frameTop.GetHeight()), m_frameMiddle);
        canvas.CompositeImage(CPoint(0, height - m_frameBottom.GetHeight()), m_frameBottom);
        PaintHeader(canvas);
        m_content.Fill(GetBackgroundColour());
    }
    else
    {
        m_content.CopyImage(GetOwnImage());
    }
    const int32_t rowHeight = int32_t(m_rowHeight);
    if (rowHeight > 0)
    {
        // Rows wholly above the view are skipped without being drawn.
        const int32_t first = m_scrollOffset > 0 ? m_scrollOffset / rowHeight : 0;
        int64_t y = int64_t(first) * rowHeight - m_scrollOffset;
        const CRgbaColour line = GetColour().Scale(kLineShade);
        for (uint32_t row = uint32_t(first); row < m_rowCount && y < height; ++row)
        {
            if (y + rowHeight >= 0)
            {
                RenderRow(row);
                m_content.CompositeImage(CPoint(0, int32_t(y)), m_rowImage);
            }
            y += rowHeight;
            if (!m_hasScrollbar && row + 1 < m_rowCount)
                m_content.DrawLine(0, int32_t(y - 1), m_content.GetWidth(), int32_t(y - 1), line);
        }
    }
    canvas.CopyImage(GetContentOrigin(), m_content);
}

CRgbaColour CAreaGrid::GetCellFill() const
{
    return m_hasScrollbar ? GetBackgroundColour() : CRgbaColour(0u);
}

void CAreaGrid::RenderRow(uint32_t row)
{
    const CRgbaColour fill = GetCellFill();
    m_rowImage.Resize(uint32_t(m_content.GetWidth()), m_rowHeight, false);
    m_rowImage.Fill(fill);
    for (uint32_t column = 0; column < m_columnCount; ++column)
    {
        const CRect rect = GetColumnRect(column);
        if (rect.GetWidth() <= 0 || rect.GetHeight() <= 0)
            continue;
        m_cellImage.Resize(uint32_t(rect.GetWidth()), uint32_t(rect.GetHeight()), false);
        m_cellImage.Fill(fill);
        PaintCell(column, row, m_cellImage);
        m_rowImage.CompositeImage(rect.GetPosition(), m_cellImage);
    }
}

void CAreaGrid::GetCellContents(uint32_t column, uint32_t row, std::string& text, CRgbaColour& colour,
                                bool& highlighted, std::vector<CZevralImage>& icons)
{
    m_cell(this, column, row, text, colour, highlighted, icons);
}

void CAreaGrid::PaintCell(uint32_t column, uint32_t row, CZevralImage& cell)
{
    if (!HasCellProvider() || cell.GetWidth() == 0)
        return;
    std::string text;
    std::string second;
    CRgbaColour colour = GetTextColour();
    CRgbaColour secondColour = GetTextColour();
    bool highlighted = false;
    std::vector<CZevralImage> icons;
    GetCellContents(column, row, text, colour, highlighted, icons);
    m_secondLine(this, column, row, second, secondColour);
    if (highlighted)
    {
        cell.Fill(GetColour().Scale(kHighlightShade));
        if (colour == GetTextColour())
            colour = GetBackgroundColour();
        if (secondColour == GetTextColour())
            secondColour = GetBackgroundColour();
    }
    const int32_t height = cell.GetHeight();
    const int32_t iconCount = int32_t(std::min(icons.size(), kMaxIcons));
    const int32_t iconSpace = kIconInset + iconCount * (height + 1) + (iconCount > 0 ? 2 : 0);
    for (int32_t i = 0; i < iconCount; ++i)
    {
        CZevralImage square{uint32_t(height), uint32_t(height)};
        square.ScaleImage(icons[size_t(i)], true);
        cell.BlendImage(CPoint(kIconInset + i * (height + 1), 0), square);
    }
    const uint32_t room = uint32_t(std::max(0, cell.GetWidth() - kTextMargin - iconSpace));
    const int32_t x = iconSpace + kTextInset;
    const auto drawLine = [&](std::string& line, CRgbaColour lineColour, float middle) {
        if (line.empty())
            return;
        uint32_t size = GetFontSize();
        FitText(room, line, size);
        DrawText(cell, line, lineColour, CPoint(x, int32_t(float(height) * middle)), kAlignStart, kAlignMiddle, size);
    };
    drawLine(text, colour, second.empty() ? 0.5f : 0.3f);
    drawLine(second, secondColour, 0.7f);
    if (m_showSelectionFrame && m_selection.Contains(CPoint(int32_t(column), int32_t(row))))
    {
        CRect frame = CRect(0, 0, cell.GetWidth(), cell.GetHeight());
        frame.Shrink(1);
        cell.DrawRect(GetColour(), frame);
    }
}

void CAreaGrid::PaintHeader(CBaseImage& canvas)
{
    const int64_t share = std::max<int64_t>(0, int64_t(GetWidth()) - kEqualShareMargin) / m_columnCount;
    for (uint32_t column = 0; column < m_columnCount; ++column)
    {
        std::string title = m_title(this, column);
        if (title.empty())
            continue;
        const uint32_t room = uint32_t(m_equalColumns ? share : ListedWidth(column));
        uint32_t size = GetFontSize();
        FitText(room, title, size);
        DrawText(canvas, title, GetTextColour(), CPoint(GetColumnRect(column).GetX() + kTitleInset, kTitleMiddle),
                 kAlignStart, kAlignMiddle, size);
    }
}
