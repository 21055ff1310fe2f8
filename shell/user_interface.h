#pragma once

#include "foundation/point.h"

#include <SDL.h>

#include <cstdint>
#include <string>

// The root of the user interface as the application's loop and event pump drive it, with the
// canvas it is drawn into. The layers above the shell implement it; the shell knows no area and
// no image.
class CUserInterface
{
public:
    virtual ~CUserInterface() = default;

    // The canvas, of the window's size, made as the loop starts and let go as it ends; its
    // texture is what the window shows (null while there is none).
    virtual void CreateCanvas(uint32_t width, uint32_t height) = 0;
    virtual void ReleaseCanvas() = 0;
    virtual SDL_Texture* GetCanvasTexture() const = 0;

    // Once a frame: the tick, then, only when something visible changed, the drawing of what
    // changed into the canvas. Render is false when the canvas's pixels could not be had.
    virtual void Tick(float seconds) = 0;
    virtual bool NeedsRender() const = 0;
    virtual bool Render() = 0;

    // The input, each event with its handled flag (the pointer move has none); pointer 0 is the
    // mouse's left button, and its moves and wheel; every other button and every finger is a
    // pointer of its own.
    virtual void PointerDown(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled) = 0;
    virtual void PointerMove(int64_t pointerId, const CPoint& point) = 0;
    virtual void PointerUp(int64_t pointerId, const CPoint& point, bool* handled) = 0;
    virtual void DoubleClick(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled) = 0;
    virtual void Wheel(int64_t pointerId, const CPoint& point, int32_t amount, bool* handled) = 0;
    virtual void Gesture(const CPoint& point, bool* handled) = 0;
    virtual void KeyDown(uint32_t key, bool* handled) = 0;
    // The system's repeat of a held key, carrying the key it went down as.
    virtual void KeyRepeat(uint32_t key, bool* handled) = 0;
    virtual void KeyUp(uint32_t key, bool* handled) = 0;
    // Typed characters as the keyboard layout makes them.
    virtual void TextInput(const std::string& text, bool* handled) = 0;
    // A command code of the keyboard shortcuts.
    virtual void DispatchCommand(uint32_t code, bool* handled) = 0;

    // The size a gesture's position is scaled by.
    virtual uint32_t GetWidth() const = 0;
    virtual uint32_t GetHeight() const = 0;
};
