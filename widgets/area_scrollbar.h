#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>

// A skinned scroll bar over a longer list it knows only as three counts in its owner's units: the
// total, how many the owner shows at once, and the first one shown. The operator pages by pressing
// beside the grip or drags the grip; the owner hears of every such move through its callback. The
// bar is vertical while it is no wider than it is high.
//
// Whenever the total exceeds the visible count the position lies in 0 .. total - visible;
// otherwise it is 0.
class CAreaScrollbar : public CArea2
{
public:
    using Callback = void (*)(void* context, CAreaScrollbar* scrollbar);

    // The grip is never shorter than this along the bar.
    static constexpr int32_t kMinGripLength = 30;

    // 40 x 100. With the top mark a vertical bar draws a second end piece at the mark offset.
    CAreaScrollbar(CArea2* parent, bool topMark);

    // Stores the counts; a position past the end is pulled back to it and the callback told.
    void SetRange(uint32_t total, uint32_t visible, uint32_t position);
    uint32_t GetPosition() const { return m_position; }
    uint32_t GetTotal() const { return m_total; }
    uint32_t GetVisible() const { return m_visible; }
    bool CanScrollBack() const { return m_position != 0; }
    bool CanScrollForward() const { return uint64_t(m_position) + m_visible < m_total; }
    bool IsHorizontal() const { return GetWidth() > GetHeight(); }
    void SetCallback(void* context, Callback callback) { m_change.Set(context, callback); }
    // Takes effect at the next layout.
    void SetSkinnedEnds(bool skinned) { m_skinnedEnds = skinned; }
    void SetMarkOffset(uint32_t offset);
    // A page back or forward, without the callback.
    void PageBack();
    void PageForward();
    // One unit back (amount above 0) or forward; only while enabled; the callback hears of a move.
    void Step(int32_t amount);
    // The grip in the bar's own coordinates; empty while the total is 0.
    CRect GetGripRect() const;
    void SetColour(CRgbaColour colour) override;

    void LayoutTrack();
    void LayoutGrip();

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerMove(const CPoint& point) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    uint32_t GetLastPosition() const { return m_total > m_visible ? m_total - m_visible : 0; }
    void Changed();

    CZevralImage m_track;
    CZevralImage m_grip;
    CPoint m_grabOffset;
    uint32_t m_total = 0;
    uint32_t m_position = 0;
    uint32_t m_visible = 0;
    uint32_t m_markOffset = 35;
    bool m_pressed = false;
    bool m_dragging = false;
    bool m_skinnedEnds = false;
    bool m_topMark;
    CCallback<Callback> m_change;
};
