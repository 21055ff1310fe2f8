#include "tools/resgen/text.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace resgen {

namespace {

// Splits UTF-8 text into its characters (each a short byte string).
std::vector<std::string> Characters(const std::string& text)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t n = 1;
        if (c >= 0xF0) {
            n = 4;
        } else if (c >= 0xE0) {
            n = 3;
        } else if (c >= 0xC0) {
            n = 2;
        }
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

}  // namespace

CText::CText(std::string fontPath) : m_path(std::move(fontPath))
{
    if (TTF_WasInit() == 0 && TTF_Init() != 0) {
        throw std::runtime_error(std::string("TTF_Init: ") + TTF_GetError());
    }
}

CText::~CText()
{
    for (auto& entry : m_fonts) {
        TTF_CloseFont(entry.second);
    }
}

TTF_Font* CText::Font(const Style& style)
{
    const auto key = std::make_pair(style.size, style.bold);
    auto it = m_fonts.find(key);
    if (it != m_fonts.end()) {
        return it->second;
    }
    TTF_Font* font = TTF_OpenFont(m_path.c_str(), style.size);
    if (font == nullptr) {
        throw std::runtime_error("cannot open font " + m_path + ": " + TTF_GetError());
    }
    TTF_SetFontStyle(font, style.bold ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL);
    m_fonts[key] = font;
    return font;
}

CText::Mask CText::Render(const std::string& text, const Style& style)
{
    TTF_Font* font = Font(style);
    Mask mask;
    mask.height = TTF_FontHeight(font);
    const std::vector<std::string> pieces =
        style.tracking == 0 ? std::vector<std::string>{text} : Characters(text);
    std::vector<std::pair<SDL_Surface*, int>> rendered;
    int pen = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        int w = 0, h = 0;
        TTF_SizeUTF8(font, pieces[i].c_str(), &w, &h);
        SDL_Surface* s = TTF_RenderUTF8_Blended(font, pieces[i].c_str(), SDL_Color{255, 255, 255, 255});
        if (s == nullptr) {
            throw std::runtime_error(std::string("TTF_RenderUTF8_Blended: ") + TTF_GetError());
        }
        rendered.emplace_back(s, pen);
        pen += w;
        if (i + 1 < pieces.size()) {
            pen += static_cast<int>(std::lround(style.tracking));
        }
    }
    mask.ink.advance = pen;
    int width = pen;
    for (const auto& r : rendered) {
        width = std::max(width, r.second + r.first->w);
    }
    mask.width = width;
    mask.coverage.assign(static_cast<size_t>(width) * mask.height, 0.0f);
    for (auto& r : rendered) {
        SDL_Surface* s = SDL_ConvertSurfaceFormat(r.first, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(r.first);
        if (s == nullptr) {
            throw std::runtime_error(std::string("SDL_ConvertSurfaceFormat: ") + SDL_GetError());
        }
        for (int y = 0; y < std::min(s->h, mask.height); ++y) {
            const uint32_t* row =
                reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) + y * s->pitch);
            for (int x = 0; x < s->w; ++x) {
                const float a = ((row[x] >> 24) & 0xFF) / 255.0f;
                float& m = mask.coverage[static_cast<size_t>(y) * width + r.second + x];
                m = std::min(1.0f, m + a);
            }
        }
        SDL_FreeSurface(s);
    }
    mask.ink.top = mask.height;
    mask.ink.bottom = -1;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (mask.coverage[static_cast<size_t>(y) * width + x] > 0.02f) {
                mask.ink.top = std::min(mask.ink.top, y);
                mask.ink.bottom = std::max(mask.ink.bottom, y);
            }
        }
    }
    if (mask.ink.bottom < 0) {
        mask.ink.top = mask.ink.bottom = 0;
    }
    return mask;
}

CText::Ink CText::Measure(const std::string& text, const Style& style)
{
    return Render(text, style).ink;
}

int CText::CapHeight(const Style& style)
{
    const Ink ink = Measure("H", style);
    return ink.bottom - ink.top + 1;
}

void CText::DrawCentred(CCanvas& canvas, const std::string& text, const Style& style, float cx,
                        float cy, const Rgba& colour)
{
    if (!text.empty()) {
        DrawLines(canvas, {text}, style, cx, cy, 0, colour);
    }
}

void CText::DrawLeft(CCanvas& canvas, const std::string& text, const Style& style, float x,
                     float cy, const Rgba& colour)
{
    if (text.empty()) {
        return;
    }
    const Mask mask = Render(text, style);
    const Ink capInk = Measure("H", style);
    const float capMiddle = (capInk.top + capInk.bottom + 1) / 2.0f;
    canvas.DrawMask(mask.coverage, mask.width, mask.height, static_cast<int>(std::lround(x)),
                    static_cast<int>(std::lround(cy - capMiddle)), colour);
}

void CText::DrawLines(CCanvas& canvas, const std::vector<std::string>& lines, const Style& style,
                      float cx, float cy, float lineGap, const Rgba& colour)
{
    // Lines of capitals: each line's cap height plus the gap, centred as a block.
    const float cap = static_cast<float>(CapHeight(style));
    const float pitch = cap + lineGap;
    const float first = cy - pitch * (static_cast<float>(lines.size()) - 1) / 2;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Mask mask = Render(lines[i], style);
        // Align on the capital line, not on each line's own ink, so descenders do not shift it.
        const Ink capInk = Measure("H", style);
        const float capMiddle = (capInk.top + capInk.bottom + 1) / 2.0f;
        const int x = static_cast<int>(std::lround(cx - mask.ink.advance / 2.0f));
        const int y = static_cast<int>(std::lround(first + pitch * i - capMiddle));
        canvas.DrawMask(mask.coverage, mask.width, mask.height, x, y, colour);
    }
}

}  // namespace resgen
