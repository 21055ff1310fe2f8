#pragma once

#include "graphics/base_image.h"

#include <SDL.h>

#include <string>

// An image whose pixels are those of an SDL streaming texture on the application's renderer while
// the texture is locked. The application keeps one of the window's size as the canvas of the whole
// user interface. Outside a lock, and when the texture is missing or could not be locked, the
// image has no pixels and every primitive draws nothing.
class CTexture : public CBaseImage
{
public:
    CTexture() = default;
    ~CTexture() override;
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;

    // Makes a streaming ABGR8888 texture with blending on, on the application's renderer.
    // Returns whether a new texture was made or tried: false when the present texture already has
    // this size (it stays), and false for a zero side (no texture, the size is kept).
    bool Create(uint32_t width, uint32_t height);
    SDL_Texture* GetTexture() const { return m_texture; }
    // Creates a texture of the image's size and copies the image's pixels into it.
    void Upload(const CBaseImage& image);
    // Loads a PNG file into a texture of its own size, within the bounds of picture_file.h; keeps
    // the present texture when there is none at the path, and prints why when the file cannot be
    // read, is refused by those bounds or cannot be decoded.
    bool Load(const std::string& path);

    // While locked the image's pixels are the texture's; returns false when nothing is mapped.
    virtual bool Lock();
    virtual void Unlock();
    int32_t GetPitch() const { return m_pitch; }

private:
    void Destroy();

    SDL_Texture* m_texture = nullptr;
    int32_t m_pitch = 0;
    uint32_t m_textureWidth = 0;
    uint32_t m_textureHeight = 0;
};
