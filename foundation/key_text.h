#pragma once

#include <cstdint>
#include <string>

// The one editing step that every text field shares: an SDL key code either appends its
// character to the text, removes the last character (Backspace), or is not used. Characters are
// taken as the code gives them; shift and layout were dealt with before the code got here.
//
// Sets *handled when the key was used and never clears it, so a key that is not used leaves the
// caller's flag as it was. Backspace removes a whole UTF-8 character, so a label never ends in a
// broken byte sequence.
void ApplyKeyToText(int32_t key, std::string& text, bool* handled);
