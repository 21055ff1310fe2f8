#pragma once

#include <functional>
#include <string>

// The one rule for every text that must fit a box (a date in its column, a caption in its button,
// a notice in its dialog): it is cut on a character boundary and the cut is marked ("..."), never
// in half a character, so that no box shows a broken character or a text that seems whole. The
// cut is made here, in the middle, where it keeps both ends of the text.

// Shortens a text in its middle to make it fit a width: a text of n >= 7 bytes keeps its first
// n / 2 - 2 bytes, then "...", then the bytes from n / 2 + 3 on, so each call takes two bytes off.
// Neither cut splits a UTF-8 character: the head ends and the tail starts on a character boundary
// (which can only take more bytes off). False, and the text unchanged, below 7 bytes.
bool ShortenMiddle(std::string& text);

// The longest middle-shortened form of the text that fits (fits says whether a text does): its
// first and last bytes as evenly as ShortenMiddle keeps them, "..." between, neither cut splitting
// a UTF-8 character. Found with a few measurements rather than one a byte, so that a label of a
// thousand characters costs no more than a short one. A text that fits, or is shorter than 7 bytes,
// comes back whole; when no shortened form fits, the shortest ("a...z").
std::string ShortenMiddleToFit(const std::string& text, const std::function<bool(const std::string&)>& fits);
