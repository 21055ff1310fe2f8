#include "widgets/shorten_middle.h"

namespace
{
constexpr size_t kShortest = 7;

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
}

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
