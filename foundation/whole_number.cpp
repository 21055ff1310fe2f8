#include "foundation/whole_number.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace
{
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The number's characters: blanks gone, and a '+' too, which from_chars does not take (a
// '-' it takes itself). Empty when nothing is left or the sign stands alone.
std::string NumberPart(const std::string& text)
{
    std::string number = TrimBlanks(text);
    if (!number.empty() && number[0] == '+')
    {
        number.erase(0, 1);
        if (!number.empty() && number[0] == '-')
            return std::string();
    }
    return number;
}
}  // namespace

std::string TrimBlanks(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::optional<int64_t> ReadWholeInteger(const std::string& text, int64_t min, int64_t max)
{
    const std::string number = NumberPart(text);
    const char* end = number.data() + number.size();
    int64_t value = 0;
    const std::from_chars_result read = std::from_chars(number.data(), end, value, 10);
    if (number.empty() || read.ec != std::errc() || read.ptr != end || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<float> ReadWholeFloat(const std::string& text)
{
    const std::string number = NumberPart(text);
    const char* end = number.data() + number.size();
    float value = 0.0f;
    // Only digits, a point and an exponent: no "inf", "nan" or hexadecimal forms.
    if (number.empty() || number.find_first_not_of("0123456789.eE+-") != std::string::npos)
        return std::nullopt;
    const std::from_chars_result read = std::from_chars(number.data(), end, value, std::chars_format::general);
    if (read.ec != std::errc() || read.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}
