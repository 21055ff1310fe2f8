#include "foundation/xml_element.h"

#include "foundation/ascii.h"
#include "foundation/utf8.h"

std::string XmlText(const TiXmlElement* element)
{
    std::string text;
    if (!element)
        return text;
    for (const TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling())
    {
        if (const TiXmlText* part = child->ToText())
            text += part->ValueStr();
    }
    return text;
}

namespace
{
// A value that does not read can be a kilobyte of damaged Base64, and a damaged show can hold
// thousands of them: the log quotes its start and says how long it was.
std::string QuotedStart(const std::string& text)
{
    constexpr size_t kLongest = 64;
    if (text.size() <= kLongest)
        return text;
    return text.substr(0, PreviousCharacter(text, kLongest + 1)) + "... (" + std::to_string(text.size()) + " bytes)";
}
}  // namespace

std::string DescribeXmlValue(const TiXmlElement& element, const char* attribute, const std::string& rawText)
{
    const std::string text = QuotedStart(rawText);
    std::string where;
    if (const TiXmlDocument* document = element.GetDocument(); document && !document->ValueStr().empty())
        where = "\"" + document->ValueStr() + "\": ";
    where += element.ValueStr();
    if (attribute)
        return where + " " + attribute + "=\"" + text + "\"";
    return where + " \"" + text + "\"";
}

std::optional<bool> ReadXmlBool(const std::string& text)
{
    for (const char* yes : {"true", "on", "yes"})
        if (EqualIgnoringAsciiCase(text, yes))
            return true;
    for (const char* no : {"false", "off", "no", "0"})
        if (EqualIgnoringAsciiCase(text, no))
            return false;
    return std::nullopt;
}
