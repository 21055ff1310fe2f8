#include "model/show_xml.h"

#include "foundation/ascii.h"
#include "shell/app.h"

#include <tinyxml.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{
void ReportMalformed(const TiXmlElement& element, const char* name, const char* text)
{
    CApp::Log("Show", std::string("Ignored ") + element.Value() + " " + name + "=\"" + text + "\"", 1);
}

}  // namespace

bool ReadBoolAttribute(const TiXmlElement& element, const char* name)
{
    const char* text = element.Attribute(name);
    if (!text)
        return false;
    return EqualIgnoringAsciiCase(text, "on") || EqualIgnoringAsciiCase(text, "true") || EqualIgnoringAsciiCase(text, "yes");
}

float ReadFloatAttribute(const TiXmlElement& element, const char* name, float fallback)
{
    const char* text = element.Attribute(name);
    if (!text)
        return fallback;
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(text, &end);
    if (end == text || *end != '\0' || errno == ERANGE || !std::isfinite(value))
    {
        ReportMalformed(element, name, text);
        return fallback;
    }
    return value;
}

bool ReadIntAttribute(const TiXmlElement& element, const char* name, int& value)
{
    const char* text = element.Attribute(name);
    if (!text)
        return false;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || number < INT_MIN || number > INT_MAX)
    {
        ReportMalformed(element, name, text);
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

std::string ReadTextAttribute(const TiXmlElement& element, const char* name)
{
    // The reader has made every value UTF-8 already.
    const char* text = element.Attribute(name);
    return text ? std::string(text) : std::string();
}

std::string FormatShowFloat(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(value));
    return text;
}
