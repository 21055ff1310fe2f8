#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A number in a file is read whole or not at all: "1e2" is no address, "0,5" no intensity and
// "3x" no index, where reading as far as the digits go would put the user's data somewhere else.
// Blanks (space, tab, line end) may stand before and after the number alike. Nothing here depends
// on the locale.

// A decimal integer with an optional sign, within min..max.
std::optional<int64_t> ReadWholeInteger(const std::string& text, int64_t min, int64_t max);
// A finite decimal number with an optional sign, fraction and exponent ("0.5", "-1", "2.5e-1").
std::optional<float> ReadWholeFloat(const std::string& text);
// The text without the blanks around it.
std::string TrimBlanks(const std::string& text);
