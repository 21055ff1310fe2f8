#pragma once

#include "foundation/point.h"

#include <cstdint>
#include <string>

class CTextureAdapter;

// The base of every on-screen element: the root area, pages, dialogs and widgets. This is the face
// the application's loop and event pump drive; children, dialogs, painting and text come with the
// widget toolkit.
class CArea2
{
public:
    CArea2(CArea2* parent, uint32_t width, uint32_t height);
    virtual ~CArea2();
    CArea2(const CArea2&) = delete;
    CArea2& operator=(const CArea2&) = delete;

    const std::string& GetName() const { return m_name; }
    CArea2* GetParent() const { return m_parent; }
    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }

    bool IsVisible() const { return m_visible; }
    virtual void SetVisible(bool visible);
    virtual void SetDirty() { m_dirty = true; }
    bool IsDirty() const { return m_dirty; }

    // Once per frame: the area's own work.
    virtual void Tick(float seconds);
    // True when the area is visible and must repaint.
    bool NeedsRender() const;
    // Paints the area into the canvas at the offset when it is dirty (or force is set) and clears
    // its dirty flag.
    void Render(CTextureAdapter& canvas, const CPoint& offset, bool force);

    // Input, in the area's own coordinates. The mouse is pointer 0. An area that consumes an event
    // sets *handled; a key that arrives already handled (a shortcut) reaches no key handler.
    virtual void PointerDown(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled);
    virtual void PointerMove(int64_t pointerId, const CPoint& point);
    virtual void PointerUp(int64_t pointerId, const CPoint& point, bool* handled);
    virtual void DoubleClick(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled);
    virtual void Wheel(int64_t pointerId, const CPoint& point, int32_t amount, bool* handled);
    virtual void Gesture(const CPoint& point, bool* handled);
    virtual void KeyDown(uint32_t key, bool* handled);
    virtual void KeyUp(uint32_t key, bool* handled);
    // Delivers a command code (cut, copy, paste, undo, redo, select all) to a visible area.
    void DispatchCommand(uint32_t code, bool* handled);

protected:
    // The area's own handlers, reached when no other receiver took the event.
    virtual void OnPointerDown(const CPoint&, uint32_t, bool*) {}
    virtual void OnPointerMove(const CPoint&) {}
    virtual void OnPointerUp(const CPoint&, bool*) {}
    virtual void OnDoubleClick(const CPoint&, uint32_t, bool*) {}
    virtual void OnWheel(const CPoint&, int32_t, bool*) {}
    virtual void OnGesture(const CPoint&, bool*) {}
    virtual void OnKeyDown(uint32_t, bool*) {}
    virtual void OnKeyUp(uint32_t, bool*) {}
    virtual void OnTick(float) {}
    virtual void Paint(CTextureAdapter&) {}
    virtual void OnCommand(uint32_t, bool*) {}

    void SetName(const std::string& name) { m_name = name; }
    // Sets the flag without the consequences of SetVisible (the root shows itself this way).
    void SetVisibleFlag(bool visible) { m_visible = visible; }

private:
    CArea2* m_parent;
    uint32_t m_width;
    uint32_t m_height;
    bool m_visible = false;
    bool m_dirty = true;
    std::string m_name;
};
