#include "widgets/word_wrap.h"

#include "graphics/text_renderer.h"
#include "widgets/shorten_middle.h"

#include <algorithm>

namespace
{
constexpr int32_t kWrapMargin = 8;

int32_t WidthOf(TTF_Font* font, const std::string& text)
{
    int32_t width = 0;
    int32_t height = 0;
    MeasureText(font, text, width, height);
    return width;
}
}  // namespace

std::vector<std::string> WrapWords(const std::string& text, int32_t width, TTF_Font* font, bool shortenWide)
{
    std::vector<std::string> lines;
    const int32_t limit = width - kWrapMargin;
    // Only a word that stands alone can be wider than the line.
    const auto alone = [&](const std::string& word) {
        if (!shortenWide || !font || WidthOf(font, word) <= limit)
            return word;
        return ShortenMiddleToFit(word, [&](const std::string& shorter) { return WidthOf(font, shorter) <= limit; });
    };
    size_t start = 0;
    // Where the line could end at the latest word that still fitted.
    size_t fits = std::string::npos;
    size_t from = start;
    for (;;)
    {
        const size_t space = text.find(' ', from);
        const size_t end = space == std::string::npos ? text.size() : space;
        if (font && WidthOf(font, text.substr(start, end - start)) > limit)
        {
            if (fits != std::string::npos)
            {
                // The last word added does not fit: the line ends before it.
                lines.push_back(text.substr(start, fits - start));
                start = fits + 1;
                fits = std::string::npos;
                from = start;
                continue;
            }
            if (space == std::string::npos)
                break;
            // A single word wider than the line stands alone.
            lines.push_back(alone(text.substr(start, end - start)));
            start = space + 1;
            from = start;
            continue;
        }
        if (space == std::string::npos)
            break;
        fits = space;
        from = space + 1;
    }
    lines.push_back(alone(text.substr(start)));
    return lines;
}

std::vector<std::string> WrapWordsWithin(const std::string& text, int32_t width, size_t maxLines, TTF_Font* font)
{
    const size_t most = std::max<size_t>(maxLines, 1);
    std::vector<std::string> lines = WrapWords(text, width, font, true);
    if (lines.size() <= most)
        return lines;
    return WrapWords(ShortenMiddleToFit(text, [&](const std::string& shorter) {
                         return WrapWords(shorter, width, font, true).size() <= most;
                     }),
                     width, font, true);
}

int32_t FirstLineY(int32_t middle, size_t lines, int32_t lineHeight)
{
    const int32_t half = int32_t(lines / 2);
    if (lines % 2 == 1)
        return middle - half * lineHeight;
    return middle - (half * lineHeight - lineHeight / 2);
}
