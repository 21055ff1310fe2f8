#pragma once

#include "graphics/texture.h"
#include "shell/user_interface.h"

#include <memory>

class CArea2;

// An area tree shown in the application's window: the root area that the loop ticks and draws and
// the event pump feeds, and the canvas it is drawn into. Owns both.
class CAreaWindow : public CUserInterface
{
public:
    explicit CAreaWindow(std::unique_ptr<CArea2> root);
    ~CAreaWindow() override;

    CArea2* GetRoot() const { return m_root.get(); }

    void CreateCanvas(uint32_t width, uint32_t height) override;
    void ReleaseCanvas() override;
    SDL_Texture* GetCanvasTexture() const override;

    void Tick(float seconds) override;
    bool NeedsRender() const override;
    bool Render() override;

    void PointerDown(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled) override;
    void PointerMove(int64_t pointerId, const CPoint& point) override;
    void PointerUp(int64_t pointerId, const CPoint& point, bool* handled) override;
    void DoubleClick(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled) override;
    void Wheel(int64_t pointerId, const CPoint& point, int32_t amount, bool* handled) override;
    void Gesture(const CPoint& point, bool* handled) override;
    void KeyDown(uint32_t key, bool* handled) override;
    void KeyRepeat(uint32_t key, bool* handled) override;
    void KeyUp(uint32_t key, bool* handled) override;
    void TextInput(const std::string& text, bool* handled) override;
    void DispatchCommand(uint32_t code, bool* handled) override;

    uint32_t GetWidth() const override;
    uint32_t GetHeight() const override;

private:
    std::unique_ptr<CArea2> m_root;
    std::unique_ptr<CTexture> m_canvas;
    uint32_t m_canvasWidth = 0;
    uint32_t m_canvasHeight = 0;
};
