#include "graphics/text_renderer.h"

#include "graphics/surface.h"
#include "graphics/zevral_image.h"

#include <array>
#include <cstdio>
#include <unordered_map>

namespace
{
// What a font kept open has measured and rendered lately. The areas ask for the same lines again
// and again: fitting a text measures it at every size it tries and once more to draw it, and the
// playback page alone draws "- / -" with its shadow 64 times. Each asking shapes the text anew.
struct CFontTexts
{
    // A font measures its texts the same for as long as it is open.
    static constexpr size_t kMaxWidths = 1024;
    std::unordered_map<std::string, int> widths;

    // The last renderings, handed out again as copies.
    struct CRendered
    {
        std::string text;
        uint32_t colour = 0;
        CZevralImage image;
    };
    std::array<CRendered, 8> rendered;
    size_t next = 0;
};

// Main thread only, as all drawing is.
std::unordered_map<const TTF_Font*, CFontTexts>& KeptFonts()
{
    static std::unordered_map<const TTF_Font*, CFontTexts> fonts;
    return fonts;
}

CFontTexts* TextsOf(const TTF_Font* font)
{
    const auto found = KeptFonts().find(font);
    return found == KeptFonts().end() ? nullptr : &found->second;
}
}

void KeepTextsOf(const TTF_Font* font)
{
    if (font)
        KeptFonts()[font];
}

void ForgetTextsOf(const TTF_Font* font)
{
    KeptFonts().erase(font);
}

void MeasureText(TTF_Font* font, const std::string& text, int32_t& width, int32_t& height)
{
    width = 0;
    height = 0;
    if (!font)
        return;
    CFontTexts* kept = TextsOf(font);
    if (kept)
    {
        const auto found = kept->widths.find(text);
        if (found != kept->widths.end())
        {
            width = found->second;
            height = TTF_FontLineSkip(font);
            return;
        }
    }
    int w = 0, h = 0;
    if (TTF_SizeUTF8(font, text.c_str(), &w, &h) != 0)
    {
        printf("TTF error : %s\n", TTF_GetError());
        w = 0;
    }
    else if (kept)
    {
        if (kept->widths.size() >= CFontTexts::kMaxWidths)
            kept->widths.clear();
        kept->widths.emplace(text, w);
    }
    width = w;
    height = TTF_FontLineSkip(font);
}

bool RenderText(TTF_Font* font, const std::string& text, CRgbaColour colour, CZevralImage& image)
{
    if (!font || text.empty())
        return false;
    CFontTexts* kept = TextsOf(font);
    if (kept)
    {
        for (const CFontTexts::CRendered& rendered : kept->rendered)
        {
            if (rendered.colour == colour.GetValue() && rendered.text == text && !rendered.image.IsEmpty())
            {
                image = rendered.image;
                return true;
            }
        }
    }
    const SDL_Color sdlColour = {colour.GetRed(), colour.GetGreen(), colour.GetBlue(), colour.GetAlpha()};
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, text.c_str(), sdlColour);
    if (!rendered)
        return false;
    CSurface::CopyToImage(rendered, image);
    SDL_FreeSurface(rendered);
    if (kept)
    {
        CFontTexts::CRendered& slot = kept->rendered[kept->next];
        kept->next = (kept->next + 1) % kept->rendered.size();
        slot.text = text;
        slot.colour = colour.GetValue();
        slot.image = image;
    }
    return true;
}
