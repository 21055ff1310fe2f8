#include "foundation/key_text.h"

#include "foundation/utf8.h"

namespace
{
constexpr int32_t kBackspace = 8;
constexpr int32_t kBackquote = 96;
// Keypad keys carry this bit plus their scancode.
constexpr int32_t kKeypadDivide = 0x40000054;
constexpr int32_t kKeypadMultiply = 0x40000055;
constexpr int32_t kKeypadMinus = 0x40000056;
constexpr int32_t kKeypadPlus = 0x40000057;
constexpr int32_t kKeypadPeriod = 0x40000063;

// The character a key appends, or 0 for a key that appends nothing.
char CharacterOf(int32_t key)
{
    if (key >= 32 && key <= 126 && key != kBackquote)
        return static_cast<char>(key);
    switch (key)
    {
    case kKeypadDivide:
        return '/';
    case kKeypadMultiply:
        return '*';
    case kKeypadMinus:
        return '-';
    case kKeypadPlus:
        return '+';
    case kKeypadPeriod:
        return '.';
    default:
        return 0;
    }
}
}  // namespace

void ApplyKeyToText(int32_t key, std::string& text, bool* handled)
{
    if (key == kBackspace)
    {
        text.erase(PreviousCharacter(text, text.size()));
        if (handled)
            *handled = true;
        return;
    }
    const char c = CharacterOf(key);
    if (c == 0)
        return;
    text += c;
    if (handled)
        *handled = true;
}
