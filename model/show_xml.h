#pragma once

#include <string>

class TiXmlElement;

// Small readers and writers shared by the show-file forms of the model objects. Readers never
// throw: a malformed value keeps the default it was given and is logged.

// "on", "true" or "yes" in any letter case; absent: false.
bool ReadBoolAttribute(const TiXmlElement& element, const char* name);
// A decimal floating-point number over the whole text; absent or malformed: the fallback.
float ReadFloatAttribute(const TiXmlElement& element, const char* name, float fallback);
// A decimal signed 32-bit integer over the whole text (optional sign); false when absent,
// malformed or out of range.
bool ReadIntAttribute(const TiXmlElement& element, const char* name, int& value);
// The attribute text, empty when absent.
std::string ReadTextAttribute(const TiXmlElement& element, const char* name);

// "%g", the form in which the XML library writes a double.
std::string FormatShowFloat(float value);
