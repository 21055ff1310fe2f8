#pragma once

#include "foundation/asked_value.h"
#include "foundation/point.h"
#include "foundation/subject.h"

#include <cstdint>

// A set of the 64 fixture slots, shown as a grid of 8 columns by 8 rows (slot c sits at column
// c & 7, row c >> 3) and edited by pressing and dragging rectangles over it. Without a change
// handler every change applies at once and notifies 0. With one (the programmer's selection,
// which mirrors the controller's) every change is handed to the handler instead, and the mask
// moves only when the owner stores what the controller reports; until the controller has reported
// since taking the last change, the next change builds on that change rather than on the mask.
class CSelectionFixture : public CSubject
{
public:
    static constexpr uint32_t kColumns = 8;
    using ChangeHandler = void (*)(void* context, uint64_t mask);

    CSelectionFixture() = default;

    void SetChangeHandler(void* context, ChangeHandler handler);

    bool IsSelected(uint32_t slot) const { return (m_mask >> (slot & 63)) & 1u; }
    bool IsEmpty() const { return m_mask == 0; }
    uint64_t GetMask() const { return m_mask; }
    uint32_t GetCount() const;
    // The slot of the n-th selected fixture counting from slot 0 (n = 0 the first); -1 when
    // fewer are selected.
    int32_t GetSelected(uint32_t n) const;

    // Commits the mask; true when it differed from the current one.
    bool SetMask(uint64_t mask);
    // Stores the mask without handler or notification; true when it differed.
    bool SetMaskQuietly(uint64_t mask);
    // The owner's word on the changes handed over: the controller took one, or it reported with
    // none still on its way, or the last one never left.
    void ChangeTaken() { m_asked.Taken(); }
    void ChangesAnswered() { m_asked.Answered(); }
    void ChangeTakenBack(TForget what) { m_asked.Forget(what); }
    void Clear();
    void Toggle(uint32_t slot);

    // The rectangle gesture over cells 0..63. Pressing an unselected cell starts a selecting
    // drag, a selected one a deselecting drag; each step applies the rectangle from the anchor
    // to the present cell onto the current mask.
    void BeginDrag(uint32_t cell);
    void DragTo(uint32_t cell);
    void EndDrag(uint32_t cell);
    void CancelDrag() { m_dragging = false; }
    bool IsDragging() const { return m_dragging; }
    // The next press starts from an empty selection.
    void SetClearOnNextPress() { m_clearOnNextPress = true; }

private:
    // The mask changes build on.
    uint64_t Intended() const { return m_asked.Intended(m_mask); }
    void Commit(uint64_t mask);
    // Applies or hands over the mask, whatever it was.
    void Propose(uint64_t mask);
    void ApplyRectangle(uint32_t cell);

    bool m_clearOnNextPress = false;
    bool m_dragging = false;
    bool m_adding = false;
    // The drag began by clearing the selection: its steps build on what the drag itself
    // proposed, since with a handler the mask still shows the selection before the clear.
    bool m_fromEmpty = false;
    uint64_t m_proposed = 0;
    CPoint m_anchor;
    void* m_handlerContext = nullptr;
    ChangeHandler m_handler = nullptr;
    uint64_t m_mask = 0;
    // What was last handed to the handler.
    CAskedValue<uint64_t> m_asked;
};
