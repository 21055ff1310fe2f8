#pragma once

#include <string>

// Shortens a text in its middle to make it fit a width: a text of n >= 7 bytes keeps its first
// n / 2 - 2 bytes, then "...", then the bytes from n / 2 + 3 on, so each call takes two bytes off.
// Neither cut splits a UTF-8 character: the head ends and the tail starts on a character boundary
// (which can only take more bytes off). False, and the text unchanged, below 7 bytes.
bool ShortenMiddle(std::string& text);
