#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>
#include <string>
#include <vector>

class CAreaScrollbar;

// A scrollable table of rows of equal height and up to 32 columns. Cells are not stored: at paint
// time the owner's cell provider fills each visible cell's text, colour, highlight and icons. The
// operator selects a rectangle of cells (press, Shift-press, drag), and scrolls by dragging the
// content, which settles on whole rows, or, in a grid made with one, by its scroll bar and wheel;
// such a grid also has a framed header band with column titles.
class CAreaGrid : public CArea2
{
public:
    using CellProvider = void (*)(void* context, CAreaGrid* grid, uint32_t column, uint32_t row, std::string& text,
                                  CRgbaColour& colour, bool& highlighted, std::vector<CZevralImage>& icons);
    using SecondLineProvider = void (*)(void* context, CAreaGrid* grid, uint32_t column, uint32_t row,
                                        std::string& text, CRgbaColour& colour);
    // The column and row under the press; either may lie past the last one.
    using PressCallback = void (*)(void* context, CAreaGrid* grid, int32_t column, int32_t row);
    using DoubleClickCallback = void (*)(void* context, CAreaGrid* grid, int32_t column);
    using SelectionCallback = void (*)(void* context, CAreaGrid* grid);
    using ColumnTitleProvider = std::string (*)(void* context, CAreaGrid* grid, uint32_t column);

    static constexpr uint32_t kMaxRows = 1024;
    static constexpr uint32_t kMaxColumns = 32;
    // A column without a width of its own.
    static constexpr uint32_t kDefaultColumnWidth = 50;
    static constexpr uint32_t kScrollbarWidth = 35;
    static constexpr uint32_t kHeaderHeight = 35;
    // Dragging pulls the content at most this far below its top.
    static constexpr int32_t kLowestOffset = -500;

    // 400 x 250; with a scroll bar it paints into the canvas, without one onto its own surface.
    CAreaGrid(CArea2* parent, bool scrollbar, bool showSelectionFrame);

    // At most 1024 rows.
    void SetRowCount(uint32_t count);
    uint32_t GetRowCount() const { return m_rowCount; }
    // 1 .. 32.
    virtual void SetColumnCount(uint32_t count);
    uint32_t GetColumnCount() const { return m_columnCount; }
    void SetEqualColumns(bool equal);
    void SetColumnWidth(uint32_t column, uint32_t width);
    // What is left of the width for the columns first .. last once every other listed column has
    // its width, shared equally among them; never below 0.
    uint32_t GetSpareColumnWidth(uint32_t first, uint32_t last) const;
    // In content coordinates, one pixel lower than the row; a column past the last is the last.
    CRect GetColumnRect(uint32_t column) const;
    // The column and row at a point of the content (row -1 above it); see the source.
    void HitTest(const CPoint& point, int32_t& column, int32_t& row) const;

    void SetCellProvider(void* context, CellProvider provider) { m_cell.Set(context, provider); }
    void SetPressCallback(void* context, PressCallback callback) { m_press.Set(context, callback); }
    void SetDoubleClickCallback(void* context, DoubleClickCallback callback) { m_doubleClick.Set(context, callback); }
    void SetSecondLineProvider(void* context, SecondLineProvider provider) { m_secondLine.Set(context, provider); }
    void SetSelectionCallback(void* context, SelectionCallback callback) { m_selectionChanged.Set(context, callback); }
    void SetColumnTitleProvider(void* context, ColumnTitleProvider provider) { m_title.Set(context, provider); }

    // In cells: x column, y row. A selection starting past the last row is empty.
    void SetSelection(const CRect& selection);
    const CRect& GetSelection() const { return m_selection; }
    // Brings the row to the middle of the view, at once or over the next frames.
    void ScrollToCell(int32_t row, bool immediate);
    void RepaintRow(uint32_t row);
    int32_t GetScrollOffset() const { return m_scrollOffset; }
    int32_t GetScrollTarget() const { return m_scrollTarget; }
    int32_t GetVisibleRows() const { return m_visibleRows; }
    uint32_t GetRowHeight() const { return m_rowHeight; }
    // Rows lower than the usual 45 (90 on a large screen), for a short list that must show whole.
    void SetRowHeight(uint32_t height);
    CAreaScrollbar* GetScrollbar() const { return m_scrollbar; }
    // Where the content sits in the widget.
    CPoint GetContentOrigin() const;

    virtual void PaintCell(uint32_t column, uint32_t row, CZevralImage& cell);
    virtual void PaintHeader(CBaseImage& canvas);
    virtual bool HasCellProvider() const { return m_cell.IsSet(); }
    virtual void GetCellContents(uint32_t column, uint32_t row, std::string& text, CRgbaColour& colour,
                                 bool& highlighted, std::vector<CZevralImage>& icons);

    void SetColour(CRgbaColour colour) override;

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerMove(const CPoint& point) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void OnDoubleClick(const CPoint& point, uint32_t button, bool* handled) override;
    void OnWheel(const CPoint& point, int32_t amount, bool* handled) override;
    void OnTick(float seconds) override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    void OnScrollbar(CAreaScrollbar* scrollbar);
    // The width of a column as the column rectangles give it (the last repeats past the end).
    int64_t ColumnWidth(uint32_t column) const;
    int64_t ListedWidth(uint32_t column) const;
    // The offset that a wanted offset settles on: the nearest whole row within the list.
    int32_t ScrollTargetFor(int64_t wanted) const;
    int32_t GetMaxOffset() const;
    // After a change of rows or size: the scroll settles within the rows at once.
    void KeepScrollWithinRows();
    void SetOffset(int64_t offset);
    void SyncScrollbar();
    void RenderRow(uint32_t row);
    CRgbaColour GetCellFill() const;

    std::vector<uint32_t> m_columnWidths;
    uint32_t m_columnCount = 1;
    int32_t m_visibleRows = 0;
    uint32_t m_rowHeight;
    int32_t m_pressRow = 0;
    int32_t m_pressColumn = 0;
    bool m_equalColumns = true;
    bool m_pressed = false;
    CRect m_selection;
    bool m_showSelectionFrame;
    // Rows are drawn afresh on every paint, so only their number is kept; one row image serves all.
    uint32_t m_rowCount = 0;
    CZevralImage m_rowImage;
    CZevralImage m_cellImage;

    CCallback<CellProvider> m_cell;
    CCallback<PressCallback> m_press;
    CCallback<DoubleClickCallback> m_doubleClick;
    CCallback<SecondLineProvider> m_secondLine;
    CCallback<SelectionCallback> m_selectionChanged;
    CCallback<ColumnTitleProvider> m_title;

    CAreaScrollbar* m_scrollbar = nullptr;
    CZevralImage m_frameTop;
    CZevralImage m_frameMiddle;
    CZevralImage m_frameBottom;
    CZevralImage m_content;
    CPoint m_lastPoint;
    int32_t m_scrollOffset = 0;
    int32_t m_scrollTarget = 0;
    bool m_hasScrollbar;
    // The scroll bar and the grid tell each other of moves; this ends the exchange.
    bool m_syncing = false;
};
