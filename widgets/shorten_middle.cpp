#include "widgets/shorten_middle.h"

#include <algorithm>

namespace
{
constexpr size_t kShortest = 7;

// A form longer than this could fit no field only if most of its characters had no width: the
// search starts below it, so that no measurement takes a whole long text.
constexpr size_t kLongestKept = 4096;

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The text with only `kept` of its bytes, the first half (the larger) from its start and the rest
// from its end, and "..." between them.
std::string KeepEnds(const std::string& text, size_t kept)
{
    size_t headEnd = (kept + 1) / 2;
    while (headEnd > 0 && IsContinuationByte(text[headEnd]))
        --headEnd;
    size_t tailStart = text.size() - kept / 2;
    while (tailStart < text.size() && IsContinuationByte(text[tailStart]))
        ++tailStart;
    return text.substr(0, headEnd) + "..." + text.substr(tailStart);
}
}  // namespace

bool ShortenMiddle(std::string& text)
{
    const size_t n = text.size();
    if (n < kShortest)
        return false;
    const size_t half = n / 2;
    size_t headEnd = half - 2;
    while (headEnd > 0 && IsContinuationByte(text[headEnd]))
        --headEnd;
    size_t tailStart = half + 3;
    while (tailStart < n && IsContinuationByte(text[tailStart]))
        ++tailStart;
    text = text.substr(0, headEnd) + "..." + text.substr(tailStart);
    return true;
}

std::string ShortenMiddleToFit(const std::string& text, const std::function<bool(const std::string&)>& fits)
{
    if (text.size() < kShortest || fits(text))
        return text;
    // ShortenMiddle's first cut keeps all but five bytes, its last two: the longest number kept
    // that fits, as the width grows with the bytes kept.
    size_t fitting = 2;
    size_t tooLong = std::min(text.size() - kShortest + 3, kLongestKept + 1);
    while (tooLong - fitting > 1)
    {
        const size_t kept = fitting + (tooLong - fitting) / 2;
        if (fits(KeepEnds(text, kept)))
            fitting = kept;
        else
            tooLong = kept;
    }
    return KeepEnds(text, fitting);
}
