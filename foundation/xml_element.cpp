#include "foundation/xml_element.h"

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

std::string DescribeXmlValue(const TiXmlElement& element, const char* attribute, const std::string& text)
{
    std::string where;
    if (const TiXmlDocument* document = element.GetDocument(); document && !document->ValueStr().empty())
        where = "\"" + document->ValueStr() + "\": ";
    where += element.ValueStr();
    if (attribute)
        return where + " " + attribute + "=\"" + text + "\"";
    return where + " \"" + text + "\"";
}
