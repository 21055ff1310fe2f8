#include "graphics/renderer_drawing.h"

#include "shell/app.h"

#include <vector>

void DrawTexture(const CPoint& point, SDL_Texture* texture)
{
    int width = 0;
    int height = 0;
    if (!CApp::GetRenderer() || !texture || SDL_QueryTexture(texture, nullptr, nullptr, &width, &height) != 0)
        return;
    const SDL_Rect destination = {point.GetX(), point.GetY(), width, height};
    SDL_RenderCopy(CApp::GetRenderer(), texture, nullptr, &destination);
}

void DrawTextureRect(const CRect& destination, const CRect& source, SDL_Texture* texture)
{
    if (!CApp::GetRenderer() || !texture)
        return;
    const SDL_Rect to = {destination.GetX(), destination.GetY(), destination.GetWidth(), destination.GetHeight()};
    const SDL_Rect from = {source.GetX(), source.GetY(), source.GetWidth(), source.GetHeight()};
    SDL_RenderCopy(CApp::GetRenderer(), texture, &from, &to);
}

void DimScreen()
{
    SDL_Renderer* renderer = CApp::GetRenderer();
    int width = 0;
    int height = 0;
    // The layer covers what the renderer shows, whatever the size of the display.
    if (!renderer || SDL_GetRendererOutputSize(renderer, &width, &height) != 0 || width <= 0 || height <= 0)
        return;
    SDL_Texture* texture =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!texture)
        return;
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    // Black at alpha 127, bytes R, G, B, A in memory.
    const std::vector<uint32_t> pixels(size_t(width) * size_t(height), 0x7F000000u);
    SDL_UpdateTexture(texture, nullptr, pixels.data(), width * 4);
    DrawTexture(CPoint(0, 0), texture);
    SDL_DestroyTexture(texture);
}
