#pragma once

#include <cstddef>
#include <string>

// Texts the model keeps, sends and saves are UTF-8. These helpers check a text that comes from
// outside (a file, the controller, the keyboard), mend it, and step through it by whole
// characters.

// Every byte belongs to a well-formed character: no stray continuation bytes, no overlong forms,
// no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& text);

// The text as valid UTF-8. Well-formed characters stay as they are; any other byte is taken as a
// Windows-1252 character, the single-byte code that editors on Windows write and a superset of
// Latin-1's printable characters: 0xE9 becomes "é", 0x80 "€", 0x93 the opening double quote. The
// five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+FFFD, the
// replacement character. A valid text comes back unchanged.
std::string ToValidUtf8(const std::string& text);
// Every byte of the text as a Windows-1252 character, as above: for text that says it is in a
// single-byte code, whatever UTF-8 its bytes may happen to spell.
std::string Windows1252ToUtf8(const std::string& text);

// The character, at most U+10FFFF and no surrogate, in UTF-8.
void AppendUtf8(std::string& out, char32_t code);

// The length of the well-formed character that starts at pos (1 to 4 bytes), 0 when the bytes
// there are none (or pos is at the end).
size_t WellFormedCharacterLength(const std::string& text, size_t pos);

// Where the character that ends at pos starts: back over continuation bytes to the byte that
// starts them (a run without one goes whole); 0 at the start.
size_t PreviousCharacter(const std::string& text, size_t pos);
// Where the character that starts at pos ends; the text's size at or past the end.
size_t NextCharacter(const std::string& text, size_t pos);

// A text as a log line quotes it: whole up to maxBytes bytes; beyond, the whole characters of its
// first maxBytes bytes, "..." and its length ("abc... (70000 bytes)").
std::string QuotedForLog(const std::string& text, size_t maxBytes);
