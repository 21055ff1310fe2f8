#pragma once

#include "foundation/rgba_colour.h"

#include <SDL_ttf.h>

#include <cstdint>
#include <string>

class CZevralImage;

// Measuring and rendering single lines of UTF-8 text with SDL_ttf, for the areas' text drawing.
// Main thread only.

// A font kept open (the font cache's) has its measurements and its last few renderings kept, so
// that the same line asked for again is not shaped again; it must be forgotten before it closes.
// Any other font is measured and rendered afresh every time.
void KeepTextsOf(const TTF_Font* font);
void ForgetTextsOf(const TTF_Font* font);

// The text's width and the font's line skip (not the text's own height); 0 and 0 without a font.
// When the font library cannot size the text, "TTF error : <reason>" is printed and the width is 0.
void MeasureText(TTF_Font* font, const std::string& text, int32_t& width, int32_t& height);

// Renders the text blended in the colour (alpha included) and makes the image exactly the rendered
// text. Returns false, leaving the image alone, without a font, for an empty text, or when
// rendering fails.
bool RenderText(TTF_Font* font, const std::string& text, CRgbaColour colour, CZevralImage& image);
