#include "graphics/text_renderer.h"

#include "graphics/surface.h"
#include "graphics/zevral_image.h"

#include <cstdio>

void MeasureText(TTF_Font* font, const std::string& text, int32_t& width, int32_t& height)
{
    width = 0;
    height = 0;
    if (!font)
        return;
    int w = 0, h = 0;
    if (TTF_SizeUTF8(font, text.c_str(), &w, &h) != 0)
    {
        printf("TTF error : %s\n", TTF_GetError());
        w = 0;
    }
    width = w;
    height = TTF_FontLineSkip(font);
}

bool RenderText(TTF_Font* font, const std::string& text, CRgbaColour colour, CZevralImage& image)
{
    if (!font || text.empty())
        return false;
    const SDL_Color sdlColour = {colour.GetRed(), colour.GetGreen(), colour.GetBlue(), colour.GetAlpha()};
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, text.c_str(), sdlColour);
    if (!rendered)
        return false;
    CSurface::CopyToImage(rendered, image);
    SDL_FreeSurface(rendered);
    return true;
}
