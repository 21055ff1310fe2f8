#include "widgets/area_window.h"

#include "graphics/texture_adapter.h"
#include "widgets/area.h"

CAreaWindow::CAreaWindow(std::unique_ptr<CArea2> root) : m_root(std::move(root))
{
}

CAreaWindow::~CAreaWindow() = default;

void CAreaWindow::CreateCanvas(uint32_t width, uint32_t height)
{
    m_canvas = std::make_unique<CTexture>();
    m_canvas->Create(width, height);
    m_canvasWidth = width;
    m_canvasHeight = height;
}

void CAreaWindow::ReleaseCanvas()
{
    m_canvas.reset();
}

SDL_Texture* CAreaWindow::GetCanvasTexture() const
{
    return m_canvas ? m_canvas->GetTexture() : nullptr;
}

void CAreaWindow::Tick(float seconds)
{
    m_root->Tick(seconds);
}

bool CAreaWindow::NeedsRender() const
{
    return m_root->NeedsRender();
}

bool CAreaWindow::Render()
{
    // Without the canvas's pixels there is nothing to draw into: the tree stays dirty and the
    // next frame tries again.
    if (!m_canvas || !m_canvas->Lock())
        return false;
    {
        const CTextureAdapter whole(*m_canvas);
        CTextureAdapter view(CRect(0, 0, int32_t(m_canvasWidth), int32_t(m_canvasHeight)), whole);
        m_root->Render(view, CPoint(0, 0), false);
    }
    m_canvas->Unlock();
    return true;
}

void CAreaWindow::PointerDown(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled)
{
    m_root->PointerDown(pointerId, point, button, handled);
}

void CAreaWindow::PointerMove(int64_t pointerId, const CPoint& point)
{
    m_root->PointerMove(pointerId, point);
}

void CAreaWindow::PointerUp(int64_t pointerId, const CPoint& point, bool* handled)
{
    m_root->PointerUp(pointerId, point, handled);
}

void CAreaWindow::DoubleClick(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled)
{
    m_root->DoubleClick(pointerId, point, button, handled);
}

void CAreaWindow::Wheel(int64_t pointerId, const CPoint& point, int32_t amount, bool* handled)
{
    m_root->Wheel(pointerId, point, amount, handled);
}

void CAreaWindow::Gesture(const CPoint& point, bool* handled)
{
    m_root->Gesture(point, handled);
}

void CAreaWindow::KeyDown(uint32_t key, bool* handled)
{
    m_root->KeyDown(key, handled);
}

void CAreaWindow::KeyRepeat(uint32_t key, bool* handled)
{
    m_root->KeyRepeat(key, handled);
}

void CAreaWindow::KeyUp(uint32_t key, bool* handled)
{
    m_root->KeyUp(key, handled);
}

void CAreaWindow::TextInput(const std::string& text, bool* handled)
{
    m_root->TextInput(text, handled);
}

void CAreaWindow::DispatchCommand(uint32_t code, bool* handled)
{
    m_root->DispatchCommand(code, handled);
}

uint32_t CAreaWindow::GetWidth() const
{
    return m_root->GetWidth();
}

uint32_t CAreaWindow::GetHeight() const
{
    return m_root->GetHeight();
}
