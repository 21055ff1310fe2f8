#include "graphics/renderer_drawing.h"

#include "shell/app.h"

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
