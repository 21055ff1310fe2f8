#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Base64 with the standard alphabet and "=" padding, no line breaks, for binary data kept inside
// XML text. The decoders are lenient: they read up to the first short or broken group and stop.
// They never read past the given length, whatever the text holds.

std::string Base64Encode(const void* bytes, uint32_t count);
std::string Base64Encode(const std::vector<uint8_t>& bytes);
// The whole file's bytes; empty when the file cannot be read.
std::string Base64EncodeFile(const std::string& path);

// The 6-bit value of an alphabet character; -1 for any other character, "=" included.
int32_t Base64CharValue(char c);
// Decodes four characters into up to three bytes and returns how many are valid: 3 for a full
// group, fewer for each trailing "=", 0 for a group with any other character outside the alphabet.
uint32_t Base64DecodeGroup(const char in[4], uint8_t out[3]);

// Decodes into a buffer of the given capacity, skipping characters that are neither in the
// alphabet nor "=" (line breaks, blanks). Stops after the first group that yields fewer than three
// bytes. Returns the number of bytes written, or -1 when they would not fit.
int32_t Base64Decode(const char* text, size_t length, uint8_t* out, uint32_t capacity);
int32_t Base64Decode(const std::string& text, uint8_t* out, uint32_t capacity);
// Appends to out. Only characters before the first group are skipped; after that the text is
// taken four characters at a time as it stands, so the first line break ends the data.
// Returns the number of bytes appended.
uint32_t Base64Decode(const char* text, size_t length, std::vector<uint8_t>& out);
uint32_t Base64Decode(const std::string& text, std::vector<uint8_t>& out);
