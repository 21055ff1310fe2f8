#pragma once

#include <SDL_ttf.h>

#include <cstdint>
#include <string>
#include <vector>

// Breaks a text into lines that fit a width less 8 pixels of margin, at single spaces. A word
// wider than that stands alone on its line: unbroken, or with shortenWide shortened in its middle
// to fit (whole characters only), so that both its ends show, quotes and all. Without a font
// nothing is measured, so the text stays one line.
std::vector<std::string> WrapWords(const std::string& text, int32_t width, TTF_Font* font, bool shortenWide = false);

// The lines of WrapWords with shortenWide, at most maxLines of them (at least one): a text that
// needs more is shortened in its middle (ShortenMiddleToFit) to the longest form that wraps into
// them, so that a long translation stays inside its box rather than running over its border.
// Costs one wrap of the whole text and, for a longer one, a dozen of at most some 4 KB of it.
std::vector<std::string> WrapWordsWithin(const std::string& text, int32_t width, size_t maxLines, TTF_Font* font);

// The y of the first of n lines of height lineHeight centred on middle, for drawing each line
// centred on its own y.
int32_t FirstLineY(int32_t middle, size_t lines, int32_t lineHeight);
