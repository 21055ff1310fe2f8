#pragma once

#include "foundation/observer.h"
#include "foundation/point.h"
#include "foundation/rect.h"
#include "foundation/rgba_colour.h"
#include "graphics/zevral_image.h"

#include <SDL_ttf.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CTextureAdapter;
struct SDL_Texture;

// The base of every on-screen element: the root area, the pages, the dialogs and the widgets. An
// area is a node of one retained tree: it has a rectangle in its parent's coordinates, owns its
// children and at most one modal child (a dialog shown over it), routes the input it is handed
// down the tree, ticks once a frame, and paints itself into the canvas only when it is dirty.
//
// Subclasses put their behaviour in the On... handlers, Layout and Paint, and leave the routing
// operations alone. A handler of an input event or a tick may remove any area, its own or an
// ancestor included: the area leaves the tree at once and is deleted when the outermost event has
// returned. Outside events (a model notification) an area must not remove itself or an ancestor.
// Dialogs close by setting their result and are deleted by their host at its next tick.
class CArea2 : public CObserver
{
public:
    // Dialog results: 0 while open; any other value closes the dialog at the host's next tick.
    static constexpr uint32_t kResultOpen = 0;
    static constexpr uint32_t kResultOk = 1;
    static constexpr uint32_t kResultCancel = 2;
    static constexpr uint32_t kResultAbort = 3;
    // Placement of a modal child: centred, or covering the host (any other value).
    static constexpr uint8_t kPlaceCentred = 0;
    static constexpr uint8_t kPlaceCover = 1;
    // Text alignment: horizontally the text starts at (0), ends at (1) or is centred on (2) the
    // anchor; vertically its top (0 or 3), bottom (1) or middle (2) is at the anchor. Other values
    // act as 1.
    static constexpr uint32_t kAlignStart = 0;
    static constexpr uint32_t kAlignEnd = 1;
    static constexpr uint32_t kAlignCentre = 2;
    static constexpr uint32_t kAlignTop = 0;
    static constexpr uint32_t kAlignBottom = 1;
    static constexpr uint32_t kAlignMiddle = 2;
    // Geometry limits of the setters.
    static constexpr int32_t kMaxPosition = 2048;

    // 100 x 100.
    CArea2(CArea2* parent, bool ownSurface);
    CArea2(CArea2* parent, bool ownSurface, uint32_t width, uint32_t height);
    CArea2(CArea2* parent, uint32_t width, uint32_t height);
    // Deletes the modal child, then the children from the last to the first.
    ~CArea2() override;
    CArea2(const CArea2&) = delete;
    CArea2& operator=(const CArea2&) = delete;

    // Tree. An area owns its children. MakeChild builds a child, T(this area, arguments...), and
    // adopts it in the same call; AddChild adopts a child built beforehand (null and an area
    // already in the tree here are ignored). Both show the child with this area's visibility (or
    // keep it hidden) and lay it out, and return it as a pointer that does not own it.
    template <class T, class... Args>
    T* MakeChild(Args&&... args)
    {
        return AddChild(std::make_unique<T>(this, std::forward<Args>(args)...));
    }
    template <class T>
    T* AddChild(std::unique_ptr<T> child, bool hidden = false)
    {
        T* adopted = child.get();
        Adopt(std::unique_ptr<CArea2>(std::move(child)), hidden);
        return adopted;
    }
    // Takes the child (a child or the modal child) out of the tree, forgets its capture entries
    // and deletes it: at once, or during an event once the event has returned.
    void RemoveChild(CArea2* child);
    // Deletes the child at the index and puts the new one in its place, without showing or laying
    // it out; out of range the new child is deleted. Returns the new child when it took the place.
    CArea2* ReplaceChild(uint32_t index, std::unique_ptr<CArea2> child);
    CArea2* GetChild(uint32_t index) const;
    uint32_t GetChildCount() const { return uint32_t(m_children.size()); }
    // -1 when absent.
    int32_t GetChildIndex(const CArea2* child) const;
    // -1 when the parent does not hold this area; 0 without a parent.
    int32_t GetIndexInParent() const;
    CArea2* GetParent() const { return m_parent; }
    CArea2* GetModalChild() const { return m_modal.get(); }
    const std::string& GetName() const { return m_name; }

    // Geometry, in the parent's coordinates.
    CPoint GetPosition() const { return m_position; }
    int32_t GetX() const { return m_position.GetX(); }
    int32_t GetY() const { return m_position.GetY(); }
    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }
    int32_t GetBottom() const { return GetY() + int32_t(m_height); }
    CRect GetRect() const { return CRect(GetX(), GetY(), int32_t(m_width), int32_t(m_height)); }
    CRect GetLocalRect() const { return CRect(0, 0, int32_t(m_width), int32_t(m_height)); }
    bool Contains(const CPoint& point) const { return GetRect().Contains(point); }
    // Each coordinate kept within 0..2048.
    void SetPosition(const CPoint& position);
    void SetX(int32_t x);
    // At most 2048; a negative row stays.
    void SetY(int32_t y);
    void SetWidth(uint32_t width);
    void SetHeight(uint32_t height);
    void SetSize(uint32_t width, uint32_t height);
    void SetSize(const CZevralImage& image);
    // The position as given; a new size resizes and refreshes, a new position alone does nothing.
    void SetRect(const CRect& rect);
    // Cuts the width or the height to the ratio of height to width.
    void FitAspect(float ratio);
    // The local rectangle less a margin of 4.
    virtual CRect GetClientRect() const;

    // Equal shares of the bounds with a gap between neighbours, stacked or side by side; the outer
    // two items get the exact share and the remainder goes to the middle ones.
    static void ArrangeRects(const std::vector<CRect*>& rects, const CRect& bounds, uint32_t gap, bool sideBySide);
    static void ArrangeEvenly(const std::vector<CArea2*>& areas, const CRect& bounds, uint32_t gap,
                              bool sideBySide);
    // Eight rows of eight areas each; areas beyond the 64th stay where they are.
    static void ArrangeInRows(const std::vector<CArea2*>& areas, const CRect& bounds, uint32_t gap);

    // Colours and font. The colour setters reach every child, changed or not.
    CRgbaColour GetColour() const { return m_colour; }
    CRgbaColour GetBackgroundColour() const { return m_backgroundColour; }
    CRgbaColour GetTextColour() const { return m_textColour; }
    // The status lamp's own colour setter hides this one on purpose (re-colouring a page leaves its
    // lamps alone), and a using-declaration there would make every call ambiguous.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Woverloaded-virtual"
    virtual void SetColour(CRgbaColour colour);
#pragma GCC diagnostic pop
    virtual void SetBackgroundColour(CRgbaColour colour);
    virtual void SetTextColour(CRgbaColour colour);
    uint32_t GetFontSize() const { return m_fontSize; }
    virtual void SetFontSize(uint32_t size);
    const std::string& GetFontName() const { return m_fontName; }
    TTF_Font* GetFont() const { return m_font; }

    // State. Visibility passes down to the whole subtree.
    bool IsVisible() const { return m_visible; }
    virtual void SetVisible(bool visible);
    virtual bool IsEnabled() const { return m_enabled; }
    virtual void SetEnabled(bool enabled);
    bool IsDirty() const { return m_dirty; }
    virtual void SetDirty();
    // When visible: refills the own surface from the parent; when visible or forced: lays out and
    // repaints.
    virtual void Refresh(bool force);
    bool HasOwnSurface() const { return m_ownSurface; }
    // The own image is resized with the next size change.
    void SetOwnSurface(bool ownSurface) { m_ownSurface = ownSurface; }
    // The background an own-surface area paints over; its parent fills it on every refresh of the
    // area while it is visible (and so as it is shown).
    CZevralImage& GetOwnImage();
    const CZevralImage& GetOwnImage() const;
    bool GetSpareFlag() const { return m_spareFlag; }
    void SetSpareFlag(bool flag) { m_spareFlag = flag; }

    // Input routing. Points are in this area's own coordinates; the mouse's left button is pointer
    // 0, every other button and every finger a pointer of its own. A receiver that takes an event
    // sets *handled, which stops further routing.
    virtual void PointerDown(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled);
    virtual void PointerMove(int64_t pointerId, const CPoint& point);
    virtual void PointerUp(int64_t pointerId, const CPoint& point, bool* handled);
    virtual void DoubleClick(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled);
    virtual void Wheel(int64_t pointerId, const CPoint& point, int32_t amount, bool* handled);
    virtual void Gesture(const CPoint& point, bool* handled);
    virtual void KeyDown(uint32_t key, bool* handled);
    virtual void KeyUp(uint32_t key, bool* handled);
    // UTF-8 text the keyboard typed (the platform's text input, which knows the layout and
    // composes accents), routed like a key down.
    virtual void TextInput(const std::string& text, bool* handled);
    // The key, held down, repeats: only what took its key-down hears of it.
    virtual void KeyRepeat(uint32_t key, bool* handled);
    // Cut 4, copy 5, paste 6, undo 8, redo 9, select all 10; reaches the areas under a dialog too
    // when the dialog leaves it.
    void DispatchCommand(uint32_t code, bool* handled);

    // The child that took each pointer's last press or wheel turn.
    void SetCapture(int64_t pointerId, CArea2* child);
    void ReleaseCapture(int64_t pointerId);
    CArea2* GetCapture(int64_t pointerId) const;
    bool IsCapturing(const CArea2* child) const;
    bool IsCaptured() const;
    // The first child holding the point (deep: then the first of its children holding the same
    // point, and so on); this area when none does.
    CArea2* FindChildAt(const CPoint& point, bool deep);
    void ForwardPointerMove(const CPoint& point);

    // Painting. NeedsRender: visible and something at or below this area is dirty. A subtree found
    // clean is not walked again until something in it changes.
    bool NeedsRender() const;
    // Paints the area (when dirty or forced) and its subtree into the canvas, dimmed under an open
    // dialog, and the dialog over them, drawn again wherever what lies under it painted; the offset
    // is the canvas position of the parent's top-left corner. Returns the canvas rectangle that
    // holds what was painted, empty when nothing was.
    CRect Render(const CTextureAdapter& canvas, const CPoint& offset, bool force);
    // A checkerboard of the background colour over the image (disabled controls).
    void DrawHatch(CBaseImage& image) const;

    // Single lines of UTF-8 text with the area's font, an explicit font, or the area's font name at
    // another size. The height is the font's line skip; a missing font measures 0 x 0.
    void MeasureText(const std::string& text, int32_t& width, int32_t& height) const;
    void MeasureText(const std::string& text, uint32_t fontSize, int32_t& width, int32_t& height) const;
    static void MeasureText(TTF_Font* font, const std::string& text, int32_t& width, int32_t& height);
    void MeasureTextRect(const std::string& text, CRect& rect) const;
    // The image becomes exactly the rendered text; false (image untouched) without a font, for an
    // empty text or when rendering fails.
    bool RenderText(CZevralImage& image, const std::string& text, CRgbaColour colour) const;
    bool RenderText(CZevralImage& image, const std::string& text, CRgbaColour colour, uint32_t fontSize) const;
    static bool RenderText(TTF_Font* font, CZevralImage& image, const std::string& text, CRgbaColour colour);
    // Composites the text onto the canvas, aligned to the anchor by the codes above. The forms with
    // a background colour draw exactly like the ones without.
    void DrawText(CBaseImage& canvas, const std::string& text, CRgbaColour colour, const CPoint& anchor,
                  uint32_t horizontal, uint32_t vertical) const;
    void DrawText(CBaseImage& canvas, const std::string& text, CRgbaColour colour, const CPoint& anchor,
                  uint32_t horizontal, uint32_t vertical, uint32_t fontSize) const;
    void DrawText(CBaseImage& canvas, const std::string& text, CRgbaColour colour, const CPoint& anchor,
                  uint32_t horizontal, uint32_t vertical, const std::string& fontName, uint32_t fontSize) const;
    void DrawText(CBaseImage& canvas, const std::string& text, CRgbaColour colour, CRgbaColour background,
                  const CPoint& anchor, uint32_t horizontal, uint32_t vertical) const;
    void DrawText(CBaseImage& canvas, const std::string& text, CRgbaColour colour, CRgbaColour background,
                  const CPoint& anchor, uint32_t horizontal, uint32_t vertical, uint32_t fontSize) const;
    static void DrawText(TTF_Font* font, CBaseImage& canvas, const std::string& text, CRgbaColour colour,
                         const CPoint& anchor, uint32_t horizontal, uint32_t vertical);
    // Moves the anchor to where the text image's top-left corner goes.
    static void AlignToAnchor(uint32_t horizontal, uint32_t vertical, CPoint& anchor, const CBaseImage& textImage);
    // No text is set smaller than this: 8 on the normal screen, 16 on a large one.
    static uint32_t GetLegibleFontSize();
    // Lowers the font size until the text fits the width, never below the legible size.
    void FitFontSize(uint32_t maxWidth, uint32_t& fontSize, const std::string& text) const;
    // Shortens the text in the middle until it fits the width or cannot be shortened further.
    void ShortenToFit(uint32_t maxWidth, std::string& text, uint32_t fontSize) const;
    // Both: a text too wide is set smaller down to the legible size, and beyond that shortened.
    void FitText(uint32_t maxWidth, std::string& text, uint32_t& fontSize) const;
    static void AppendLineMarker(std::string& text) { text += "/n"; }

    // Drawing straight onto the window, past the canvas, at a point of this area.
    void DrawTextureOnScreen(const CPoint& point, SDL_Texture* texture);
    void DrawTextureRectOnScreen(const CRect& destination, const CRect& source, SDL_Texture* texture);

    // Dialogs. ShowDialog makes the dialog the modal child: a dialog open already is closed first
    // (it ends with the result it has, 0 included), then the new one is placed and shown. What is
    // to happen when the dialog closes may be given with it, and runs then, before OnDialogClosed
    // and while the dialog is still alive:
    //
    //     ShowDialog(std::move(rename), kPlaceCentred, [this](CDialogString& dialog, uint32_t result) {
    //         if (result == kResultOk)
    //             Rename(dialog.GetText());
    //     });
    //
    // Returns the dialog, not owned; null for an area owned here already, which stays as it is.
    template <class Dialog>
    Dialog* ShowDialog(std::unique_ptr<Dialog> dialog, uint8_t placement = kPlaceCentred)
    {
        return static_cast<Dialog*>(OpenModal(std::move(dialog), placement, nullptr));
    }
    template <class Dialog, class Closed>
    Dialog* ShowDialog(std::unique_ptr<Dialog> dialog, uint8_t placement, Closed closed)
    {
        return static_cast<Dialog*>(OpenModal(std::move(dialog), placement,
                                              [closed = std::move(closed)](CArea2& shown, uint32_t result) {
                                                  closed(static_cast<Dialog&>(shown), result);
                                              }));
    }
    void PlaceDialog();
    uint32_t GetResult() const { return m_result; }
    void SetResult(uint32_t result) { m_result = result; }
    uint8_t GetPlacementMode() const { return m_placement; }
    // Once a frame: the modal child (closing it when it has a result), the area's own OnTick, then
    // the children, first to last. Hidden areas tick too. An area whose OnTick is the base's, which
    // does nothing, is left out after its first tick, and a subtree with nothing to tick is not
    // walked: an idle frame costs next to nothing however large the tree.
    virtual void Tick(float seconds);

protected:
    // The area's own handlers, reached when no other receiver took the event.
    virtual void OnPointerDown(const CPoint& point, uint32_t button, bool* handled);
    virtual void OnPointerMove(const CPoint& point);
    virtual void OnPointerUp(const CPoint& point, bool* handled);
    virtual void OnDoubleClick(const CPoint& point, uint32_t button, bool* handled);
    virtual void OnWheel(const CPoint& point, int32_t amount, bool* handled);
    virtual void OnGesture(const CPoint& point, bool* handled);
    virtual void OnKeyDown(uint32_t key, bool* handled);
    virtual void OnKeyUp(uint32_t key, bool* handled);
    virtual void OnTextInput(const std::string& text, bool* handled);
    // A held key is one press: nothing happens by default. Areas that type override it.
    virtual void OnKeyRepeat(uint32_t key, bool* handled);
    virtual void OnTick(float seconds);
    // An area whose OnTick has work only at times (a held button) stops its ticks while idle and
    // asks for them again when work begins; ticks resume in the same frame.
    void SetTicking(bool ticking);
    // Places the children and rebuilds cached images.
    virtual void Layout();
    // The area's own drawing, in local coordinates, over its background.
    virtual void Paint(CTextureAdapter& canvas);
    // True when Paint writes every pixel of the area's rectangle, whatever was there (a picture at
    // least the area's size copied over it): the background fill under it is then left out, and so
    // is the fill of a parent that it covers.
    virtual bool PaintsEveryPixel() const { return false; }
    virtual bool QueryFlag() { return false; }
    // Pages and dialogs attach to and detach from the model here.
    virtual void OnVisibleChanged();
    virtual void SpareHook() {}
    // The host's view of a closing dialog, still alive during the call, after what was given to
    // happen with it.
    virtual void OnDialogClosed(CArea2* dialog, uint32_t result);
    virtual void OnCommand(uint32_t code, bool* handled);
    // Fills an own-surface child's image with what lies under it.
    virtual void CopyBackgroundTo(CArea2* child);

    void SetName(const std::string& name) { m_name = name; }
    // Sets the flag without the consequences of SetVisible (the root shows itself this way).
    void SetVisibleFlag(bool visible) { m_visible = visible; }

private:
    // Held by every input event and tick while it runs through the tree; an area removed meanwhile
    // waits, out of the tree, until the outermost one has returned.
    class CEventScope
    {
    public:
        CEventScope();
        ~CEventScope();
        CEventScope(const CEventScope&) = delete;
        CEventScope& operator=(const CEventScope&) = delete;
    };

    void Init(bool ownSurface, uint32_t width, uint32_t height);
    // This area, its modal child or one of its children.
    bool IsOwnedHere(const CArea2* area) const;
    void Adopt(std::unique_ptr<CArea2> child, bool hidden);
    // Deletes an area taken out of the tree, or keeps it until the running event has returned.
    static void Discard(std::unique_ptr<CArea2> area);
    // The own image takes the size it is given when it is next used: an area is resized several
    // times while it is built, and each size would otherwise be allocated and cleared.
    void ResizeOwnImage();
    // Forgets the child's captures, and that it took a press or a key still down.
    void ForgetChild(const CArea2* child);
    // A release taken here: the children under the point, last first, then the own handler.
    void ReleaseHere(int64_t pointerId, const CPoint& point, bool* handled);
    // Hands a key event to what took the key's press: route on a child or the modal child, own
    // on this area unless it has been hidden; nothing when the taker has gone.
    void DeliverKey(CArea2* taker, uint32_t key, bool* handled, void (CArea2::*route)(uint32_t, bool*),
                    void (CArea2::*own)(uint32_t, bool*));
    using DialogClosed = std::function<void(CArea2& dialog, uint32_t result)>;
    CArea2* OpenModal(std::unique_ptr<CArea2> dialog, uint8_t placement, DialogClosed closed);
    // Takes the modal child out, runs what was to happen when it closed and OnDialogClosed, and
    // hands it back for its end.
    std::unique_ptr<CArea2> CloseModal();
    // Hands a pointer event (deliver(modal, point in its coordinates)) to the modal child when the
    // point lies on it; a point beside it is refused, with a sound where asked.
    template <typename Deliver>
    void OfferToModal(const CPoint& point, bool soundRefusal, Deliver deliver);
    TTF_Font* FontAt(uint32_t fontSize) const;
    // Render, given the open dialogs whose shade lies over the canvas: what paints is dimmed by
    // each of them it is not part of (shades: as many as for the parent, when painting with it); a
    // dialog opening here adds its own.
    CRect RenderInto(const CTextureAdapter& canvas, const CPoint& offset, bool force,
                     std::vector<const CArea2*>& shaded, int shades);
    // The open dialogs in sight in this subtree that have been drawn (and so laid their shade).
    void CollectShadedDialogs(std::vector<const CArea2*>& shaded) const;
    // Whether the area is this one or lies inside it.
    bool Holds(const CArea2* area) const;
    // Whether what Paint or a child draws next covers the background fill of this area.
    bool IsFillCovered() const;
    // This area and its ancestors may have a tick to do (or something to draw) below them.
    void MarkForTick();
    void MarkForRender();
    // Own ticks, or ticks below, or a modal child to tick.
    bool HasTickWork() const { return m_ticking || m_tickBelow || m_modal; }

    mutable CZevralImage m_ownImage;
    // The size the own image is to take at its next use, when it has not taken it yet.
    mutable bool m_ownImageResizePending = false;
    uint32_t m_ownImageWidth = 0;
    uint32_t m_ownImageHeight = 0;
    CPoint m_position;
    CArea2* m_parent;
    std::unique_ptr<CArea2> m_modal;
    DialogClosed m_modalClosed;
    // The modal child has not been drawn yet.
    bool m_modalFresh = false;
    std::vector<std::unique_ptr<CArea2>> m_children;
    CRgbaColour m_colour;
    CRgbaColour m_backgroundColour;
    CRgbaColour m_textColour;
    uint32_t m_result = kResultOpen;
    bool m_ownSurface = false;
    bool m_visible = false;
    bool m_enabled = true;
    bool m_dirty = true;
    // Whether OnTick has work; whether a child may have a tick to do, or something to draw. The
    // two below err only towards yes: a walk that finds nothing clears them, and anything that
    // may give a subtree work marks its ancestors.
    bool m_ticking = true;
    bool m_tickBelow = true;
    mutable bool m_renderBelow = true;
    std::string m_name;
    TTF_Font* m_font = nullptr;
    uint32_t m_width = 100;
    uint32_t m_height = 100;
    uint32_t m_fontSize = 14;
    std::string m_fontName = "arial";
    uint8_t m_placement = kPlaceCentred;
    std::map<int64_t, CArea2*> m_capture;
    bool m_spareFlag = false;

    // What took each press of a pointer or key that is still down: the modal child, a child, this
    // area, or null when that has gone. The release goes there, whatever changed meanwhile; a
    // wheel turn leaves a pressed pointer's capture alone.
    std::map<int64_t, CArea2*> m_pressTakers;
    std::map<uint32_t, CArea2*> m_keyTakers;
};
