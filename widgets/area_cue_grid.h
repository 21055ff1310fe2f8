#pragma once

#include "foundation/followed_subject.h"
#include "foundation/observer.h"
#include "model/cue.h"
#include "model/playback.h"
#include "widgets/area.h"
#include "widgets/callback.h"

// The strip of square cue cells on the edit page: one cell per cue of one playback, showing the
// cue's label (or number), delay, condition and fade, framed red when the cue holds values, its
// text flashing toward white while the controller reports the cue as just triggered. The strip
// scrolls sideways by dragging and settles on whole cells. A press reports the cue under the
// pointer (-1 for none), and holding a cue for half a second without dragging the strip reports a hold.
//
// The grid observes its playback and every cue of it while it is shown.
class CAreaCueGrid : public CArea2
{
public:
    using PressCallback = void (*)(void* context, CAreaCueGrid* grid, int32_t cue);
    using HoldCallback = void (*)(void* context, CAreaCueGrid* grid);

    static constexpr float kHoldSeconds = 0.5f;
    // How far the strip may be dragged before its first cell.
    static constexpr int32_t kMaxOverscroll = 500;

    // 642 x 94 (doubled on large screens), with its own surface.
    explicit CAreaCueGrid(CArea2* parent);
    ~CAreaCueGrid() override;

    // Observes the playback and its cues in place of the previous one; null lets go.
    void SetPlayback(CPlayback* playback);
    CPlayback* GetPlayback() const { return m_playback; }
    // Cells first .. first + count - 1 are drawn pressed; a negative first or a count of 0 is none.
    void SetSelection(int32_t first, int32_t count);
    bool IsSelected(int32_t cell) const;
    void SetPressCallback(void* context, PressCallback callback) { m_press.Set(context, callback); }
    void SetHoldCallback(void* context, HoldCallback callback) { m_hold.Set(context, callback); }
    // Pixels the strip is scrolled to the left; never below -500.
    void SetScrollOffset(int32_t offset);
    int32_t GetScrollOffset() const { return m_scrollOffset; }
    uint32_t GetCellCount() const { return m_cellCount; }

    void HandleNotify(CSubject* subject, uint32_t code) override;

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerMove(const CPoint& point) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void OnTick(float seconds) override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;
    // Hidden, the grid lets go of its playback.
    void OnVisibleChanged() override;

private:
    int32_t GetCellSide() const { return int32_t(GetHeight()); }
    // The cell count follows the playback's cues.
    void UpdateCells();
    // After a change of cells or size: the scroll settles within the cells at once.
    void KeepScrollWithinCells();
    // Follows exactly the cues the playback holds now.
    void ObserveCues();
    void PaintCell(uint32_t cell);
    // Where the strip settles for a wanted offset: whole cells, within the cells there are.
    int32_t ScrollTargetFor(int32_t offset) const;
    void SetOffset(int32_t offset);

    CArea2* m_owner;
    float m_holdTime = 0.0f;
    int32_t m_scrollOffset = 0;
    int32_t m_scrollTarget = 0;
    uint32_t m_cellCount = 0;
    // One cell at a time is composed here before it goes to the canvas.
    CZevralImage m_cell;
    bool m_pressed = false;
    bool m_holdReported = false;
    bool m_holding = false;
    CPoint m_lastPoint;
    // Where the press began, to tell a hold from a scroll.
    CPoint m_pressPoint;
    CFollowedSubject<CPlayback> m_playback{this};
    CSubjectSet m_cueSet;
    int32_t m_selectionFirst = -1;
    int32_t m_selectionCount = 0;
    CCallback<PressCallback> m_press;
    CCallback<HoldCallback> m_hold;
    CZevralImage m_frame;
    CZevralImage m_selectedFrame;
};
