#include "graphics/texture.h"

#include "graphics/picture_file.h"
#include "shell/app.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

CTexture::~CTexture()
{
    Destroy();
}

void CTexture::Destroy()
{
    if (m_texture)
        SDL_DestroyTexture(m_texture);
    m_texture = nullptr;
    m_pitch = 0;
}

bool CTexture::Create(uint32_t width, uint32_t height)
{
    if (m_texture)
    {
        int w = 0, h = 0;
        if (SDL_QueryTexture(m_texture, nullptr, nullptr, &w, &h) == 0 && uint32_t(w) == width &&
            uint32_t(h) == height)
            return false;
    }
    Destroy();
    m_textureWidth = width;
    m_textureHeight = height;
    SetView(nullptr, width, height);
    if (width == 0 || height == 0)
        return false;
    SDL_Renderer* renderer = CApp::GetRenderer();
    if (renderer)
        m_texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STREAMING, int(width),
                                      int(height));
    if (m_texture)
    {
        SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_BLEND);
        CApp::IncrementTextureCounter();
    }
    return true;
}

bool CTexture::Lock()
{
    void* pixels = nullptr;
    int pitch = 0;
    if (m_texture && SDL_LockTexture(m_texture, nullptr, &pixels, &pitch) == 0 && pixels && pitch > 0 &&
        pitch % 4 == 0 && uint32_t(pitch / 4) >= m_textureWidth)
    {
        m_pitch = pitch;
        SetView(static_cast<uint32_t*>(pixels), m_textureWidth, m_textureHeight, uint32_t(pitch / 4));
        return true;
    }
    // Nothing to draw into: an empty image makes every primitive return at once.
    m_pitch = 0;
    SetView(nullptr, 0, 0);
    return false;
}

void CTexture::Unlock()
{
    if (m_texture && GetPixels())
        SDL_UnlockTexture(m_texture);
    SetView(nullptr, m_textureWidth, m_textureHeight);
}

void CTexture::Upload(const CBaseImage& image)
{
    Create(uint32_t(image.GetWidth()), uint32_t(image.GetHeight()));
    if (Lock())
    {
        // Row by row: the texture's rows may be padded.
        for (int32_t y = 0; y < image.GetHeight(); ++y)
        {
            int32_t first, end;
            const uint32_t* source = image.GetConstRowSpan(uint32_t(y), first, end);
            uint32_t* target = GetRow(uint32_t(y));
            if (source && target)
                memcpy(target + first, source, size_t(end - first) * 4);
        }
    }
    Unlock();
}

bool CTexture::Load(const std::string& path)
{
    std::string why;
    SDL_Surface* surface = picture_file::LoadPng(path, why);
    if (!surface)
    {
        if (!why.empty())
            printf("IMG_Load error: %s\n", why.c_str());
        return false;
    }
    Destroy();
    SDL_Renderer* renderer = CApp::GetRenderer();
    if (renderer)
        m_texture = SDL_CreateTextureFromSurface(renderer, surface);
    m_textureWidth = uint32_t(surface->w);
    m_textureHeight = uint32_t(surface->h);
    SetView(nullptr, m_textureWidth, m_textureHeight);
    SDL_FreeSurface(surface);
    return m_texture != nullptr;
}
