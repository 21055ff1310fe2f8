#pragma once

#include <string>

// Letter case and hex digits as file names, protocol words and stored texts use them: only the
// ASCII letters change, so every byte of a multi-byte UTF-8 character stays as it is.
char UpperAscii(char c);
char LowerAscii(char c);
std::string ToUpperAscii(const std::string& text);
std::string ToLowerAscii(const std::string& text);
// Same length and the same bytes after upper-casing ASCII letters.
bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b);
// 0 to 15 for a hex digit of either case, -1 for any other byte.
int HexDigitValue(char c);
