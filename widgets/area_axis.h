#pragma once

#include "foundation/coordinate.h"
#include "widgets/area.h"
#include "widgets/callback.h"

#include <vector>

class CMessageValue;

// The two-axis position pad: a 4 x 4 grid with a cross marker at each listed position and two
// handles, x in a strip below the grid and y in a strip right of it, each labelled with
// the positions' centre as a whole percentage (-100 .. 100); one frame holds all of it, and the
// handles cover neither a cross nor each other. The positions are the programmer's position
// values: coordinates with x and y in -1..1, y upward. Dragging on the pad moves every position
// to the pointer; a press anywhere in a handle's strip, on the handle or beside it, moves only its
// axis, and the square where the strips meet does nothing. The positions are held as the
// controller's payloads (only the payload's declaration reaches the pad's users).
class CAreaAxis : public CArea2
{
public:
    // The pad as a plain area, so that one handler can serve the pad and the colour pickers.
    using ChangeCallback = void (*)(void* context, CArea2* pad);

    static constexpr float kNudgeStep = 0.025f;
    static constexpr float kFineDivisor = 5.0f;

    // With redrawOnNudge a nudge repaints the pad; without, only the callback hears of it.
    CAreaAxis(CArea2* parent, bool redrawOnNudge);
    ~CAreaAxis() override;

    // The list becomes the one coordinate.
    void SetValues(const CCoordinate& coordinate);
    // Replaces the list unless every entry equals the shown one; repaints, calls nobody.
    void SetValueList(const std::vector<CMessageValue>& values);
    std::vector<CMessageValue> GetValues() const;
    // The middle of the bounding box of every entry's coordinate; (0, 0) for an empty list.
    CCoordinate GetCentre() const;
    void SetChangeCallback(void* context, ChangeCallback callback) { m_change.Set(context, callback); }

    bool IsFine() const { return m_fine; }
    void SetFine(bool fine) { m_fine = fine; }
    void NudgeLeft() { Nudge(-kNudgeStep, 0.0f); }
    void NudgeRight() { Nudge(kNudgeStep, 0.0f); }
    void NudgeUp() { Nudge(0.0f, kNudgeStep); }
    void NudgeDown() { Nudge(0.0f, -kNudgeStep); }
    // Moves every position that holds a value by (dx, dy), a fifth of it when fine.
    void Nudge(float dx, float dy);

    // The size of a pad whose crosses travel that many pixels on each axis, its handles' strips
    // beside them.
    static CPoint SizeForTravel(int32_t travel);

    // Where the positions' crosses go, -1 to 1 on both axes: the grid less half a cross all round.
    CRect GetClientRect() const override;
    // Also tints the pad frame.
    void SetColour(CRgbaColour colour) override;

    // Where a point of the pad lies as a coordinate, clamped to -1..1.
    CCoordinate PointToCoordinate(const CPoint& point) const;
    // Where the cross of a coordinate is drawn (its middle).
    CPoint CoordinateToPoint(const CCoordinate& coordinate) const;
    const CRect& GetXHandleRect() const { return m_xHandleRect; }
    const CRect& GetYHandleRect() const { return m_yHandleRect; }

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerMove(const CPoint& point) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void OnTick(float seconds) override;
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    // The grid with its outline, inside the frame and clear of the handles' strips.
    CRect GetGridRect() const;
    void SetAllPoints(CCoordinate point);
    void BuildXHandle();
    void BuildYHandle();
    void BuildHandle(CZevralImage& up, CZevralImage& down, float value);
    void BuildMarker();
    void PlaceHandles();
    void Changed();

    std::vector<CMessageValue> m_values;
    // Added to every position once a frame; nothing ever sets it.
    CCoordinate m_drift;
    bool m_padDragging = false;
    bool m_xDragging = false;
    bool m_yDragging = false;
    bool m_redrawOnNudge;
    bool m_fine = false;
    CZevralImage m_padFrame;
    CZevralImage m_grid;
    CZevralImage m_xHandleUp;
    CZevralImage m_xHandleDown;
    CZevralImage m_yHandleUp;
    CZevralImage m_yHandleDown;
    CZevralImage m_marker;
    CRect m_xHandleRect;
    CRect m_yHandleRect;
    CCallback<ChangeCallback> m_change;
};
