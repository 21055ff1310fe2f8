#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

// What the two colour pickers share: a framed background, a colour field inset 15 pixels, and a
// marker (a 40 x 40 pressed frame) centred on the picked position. Dragging inside the picker
// moves the pick and calls the change callback; the owner then reads the picked colour. The
// subclasses draw the field and keep a pointer position inside it.
class CAreaColourPicker : public CArea2
{
public:
    // The picker as a plain area, so that one handler can serve both pickers and the position pad.
    using ChangeCallback = void (*)(void* context, CArea2* picker);

    // The field's inset from the frame on every side.
    static constexpr int32_t kFieldInset = 15;

    // Without live the pick stays where it is, but the callback still hears of every move.
    CAreaColourPicker(CArea2* parent, bool live);

    // The field's colour at the pick.
    CRgbaColour GetColour() const { return ColourAt(m_pick); }
    // The colour the selection holds, as the controller reports it: the pick moves to where the
    // field shows that colour, so the marker follows colours set elsewhere (the faders, a loaded
    // cue). It stays put while the pointer drags it, when it shows the colour already, and for a
    // colour the field shows nowhere. Nobody is called.
    void SetPickedColour(CRgbaColour colour);
    void SetChangeCallback(void* context, ChangeCallback callback) { m_change.Set(context, callback); }
    // In the field's coordinates.
    CPoint GetPick() const { return m_pick; }
    const CZevralImage& GetField() const { return m_field; }

    // The local rectangle less 3 pixels on each side.
    CRect GetClientRect() const override;
    // Also tints the frame.
    void SetColour(CRgbaColour colour) override;

protected:
    // The colour of the field at a point of it; the field is width x height.
    virtual CRgbaColour ColourAt(const CPoint& point) const = 0;
    // Where the pick goes for a pointer at the point (the picker's coordinates).
    virtual CPoint PickFor(const CPoint& point) const = 0;
    // Where the field shows the colour, or nearest to it, in the field's coordinates; false when
    // it shows it nowhere.
    virtual bool PickOf(const CRgbaColour& colour, CPoint& pick) const = 0;

    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerMove(const CPoint& point) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

    void SetPick(const CPoint& pick) { m_pick = pick; }
    // Moves the pick to the colour last given to SetPickedColour, if any (after a new layout).
    void FollowPickedColour();

private:
    CPoint m_pick;
    // The colour last given to SetPickedColour.
    CRgbaColour m_pickedColour;
    bool m_hasPickedColour = false;
    bool m_dragging = false;
    bool m_live;
    CZevralImage m_frame;
    CZevralImage m_field;
    CZevralImage m_marker;
    CCallback<ChangeCallback> m_change;
};
