#include "widgets/area.h"

CArea2::CArea2(CArea2* parent, uint32_t width, uint32_t height)
    : m_parent(parent), m_width(width), m_height(height)
{
}

CArea2::~CArea2() = default;

void CArea2::SetVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    SetDirty();
    if (!visible && m_parent)
        m_parent->SetDirty();
}

void CArea2::Tick(float seconds)
{
    OnTick(seconds);
}

bool CArea2::NeedsRender() const
{
    return m_visible && m_dirty;
}

void CArea2::Render(CTextureAdapter& canvas, const CPoint&, bool force)
{
    if (!m_visible || !(m_dirty || force))
        return;
    Paint(canvas);
    m_dirty = false;
}

void CArea2::PointerDown(int64_t, const CPoint& point, uint32_t button, bool* handled)
{
    if (m_visible && !*handled)
        OnPointerDown(point, button, handled);
}

void CArea2::PointerMove(int64_t, const CPoint& point)
{
    if (m_visible)
        OnPointerMove(point);
}

void CArea2::PointerUp(int64_t, const CPoint& point, bool* handled)
{
    if (m_visible && !*handled)
        OnPointerUp(point, handled);
}

void CArea2::DoubleClick(int64_t, const CPoint& point, uint32_t button, bool* handled)
{
    if (m_visible && !*handled)
        OnDoubleClick(point, button, handled);
}

void CArea2::Wheel(int64_t, const CPoint& point, int32_t amount, bool* handled)
{
    if (m_visible && !*handled)
        OnWheel(point, amount, handled);
}

void CArea2::Gesture(const CPoint& point, bool* handled)
{
    if (m_visible && !*handled)
        OnGesture(point, handled);
}

void CArea2::KeyDown(uint32_t key, bool* handled)
{
    if (!*handled)
        OnKeyDown(key, handled);
}

void CArea2::KeyUp(uint32_t key, bool* handled)
{
    if (!*handled)
        OnKeyUp(key, handled);
}

void CArea2::DispatchCommand(uint32_t code, bool* handled)
{
    if (m_visible && !*handled)
        OnCommand(code, handled);
}
