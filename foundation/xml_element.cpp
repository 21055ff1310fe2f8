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
