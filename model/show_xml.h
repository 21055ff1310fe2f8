#pragma once

#include <cstdint>
#include <string>

class TiXmlElement;

// Small readers and writers shared by the show-file forms of the model objects. Readers never
// throw: a value that does not read keeps the default it was given and is logged with the file,
// the element and the text. A number reads whole or not at all (blanks around it allowed).

// "on", "true" or "yes" in any letter case; absent: false. A text that is none of these nor
// "off", "false", "no" or "0" is false and logged.
bool ReadBoolAttribute(const TiXmlElement& element, const char* name);
// A decimal floating-point number; absent or unreadable: the fallback.
float ReadFloatAttribute(const TiXmlElement& element, const char* name, float fallback);
// A decimal signed 64-bit integer (optional sign); false when absent or unreadable.
bool ReadIntAttribute(const TiXmlElement& element, const char* name, int64_t& value);
// The attribute text, empty when absent.
std::string ReadTextAttribute(const TiXmlElement& element, const char* name);
// The log line for a value that could not be read and left its field at its default.
void ReportUnreadValue(const TiXmlElement& element, const char* name, const std::string& text);
// The log line for a name that none the reader knows matches, which the controller is sent as
// unknown.
void ReportUnknownName(const TiXmlElement& element, const char* name, const std::string& text);

// "%g", the form in which the XML library writes a double.
std::string FormatShowFloat(float value);
