#include "tools/personality_converter/fixture_definition.h"

#include "tools/personality_converter/channel_type.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

std::string TextOf(const TiXmlElement* element)
{
    if (!element)
        return std::string();
    const char* text = element->GetText();
    return text ? text : "";
}

std::string AttributeOf(const TiXmlElement* element, const char* name)
{
    const char* value = element->Attribute(name);
    return value ? value : "";
}

// A channel number: decimal digits only, below 512 (the length of a DMX universe).
bool ParseChannelNumber(const std::string& text, unsigned& number)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    number = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
    return number < 512;
}

// Channel names as a mode refers to them. The reader trims and condenses the blanks of element
// text but not of attributes, so "Red " is defined and referred to as "Red".
std::string NameKey(const std::string& name)
{
    std::string key;
    for (char c : name)
    {
        const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        if (!blank)
            key += c;
        else if (!key.empty() && key.back() != ' ')
            key += ' ';
    }
    if (!key.empty() && key.back() == ' ')
        key.pop_back();
    return key;
}

}  // namespace

bool CFixtureDefinition::Parse(const std::string& text, std::string& error)
{
    *this = CFixtureDefinition();
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error())
    {
        error = std::string("not XML: ") + document.ErrorDesc();
        return false;
    }
    const TiXmlElement* root = document.RootElement();
    if (!root || std::string(root->Value()) != "FixtureDefinition")
    {
        error = "not a fixture definition";
        return false;
    }
    m_manufacturer = TextOf(root->FirstChildElement("Manufacturer"));
    m_model = TextOf(root->FirstChildElement("Model"));

    // The first definition of a name wins, as a mode can only name one of them.
    std::map<std::string, uint8_t> codes;
    for (const TiXmlElement* c = root->FirstChildElement("Channel"); c; c = c->NextSiblingElement("Channel"))
    {
        SSourceChannel channel;
        channel.name = AttributeOf(c, "Name");
        const std::string key = NameKey(channel.name);
        if (codes.count(key))
            continue;
        channel.preset = AttributeOf(c, "Preset");
        if (const TiXmlElement* group = c->FirstChildElement("Group"))
        {
            channel.group = TextOf(group);
            channel.groupByte = AttributeOf(group, "Byte") == "1" ? 1 : 0;
        }
        channel.colour = TextOf(c->FirstChildElement("Colour"));
        const SChannelMapping mapping = MapChannel(channel);
        codes[key] = mapping.code;
        if (!mapping.loss.empty())
            m_losses.push_back(SLoss{channel.name, mapping.loss});
    }

    for (const TiXmlElement* m = root->FirstChildElement("Mode"); m; m = m->NextSiblingElement("Mode"))
    {
        SMode mode;
        mode.name = AttributeOf(m, "Name");
        std::vector<std::pair<unsigned, std::string>> channels;
        for (const TiXmlElement* c = m->FirstChildElement("Channel"); c; c = c->NextSiblingElement("Channel"))
        {
            unsigned number = 0;
            if (!ParseChannelNumber(AttributeOf(c, "Number"), number))
            {
                mode.fault = "channel number \"" + AttributeOf(c, "Number") + "\" is not 0..511";
                break;
            }
            channels.emplace_back(number, NameKey(TextOf(c)));
        }
        std::sort(channels.begin(), channels.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; mode.fault.empty() && i < channels.size(); ++i)
            if (channels[i].first != i)
                mode.fault = "channel numbers are not 0.." + std::to_string(channels.size() - 1) + " each once";
        if (mode.fault.empty())
        {
            for (const auto& channel : channels)
            {
                const auto found = codes.find(channel.second);
                if (found == codes.end())
                {
                    m_undefined.push_back(channel.second);
                    mode.codes.push_back(kChannelUnused);
                }
                else
                    mode.codes.push_back(found->second);
            }
        }
        m_modes.push_back(std::move(mode));
    }
    return true;
}

bool CFixtureDefinition::ReadFile(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        error = "cannot be opened";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
    {
        error = "cannot be read";
        return false;
    }
    return Parse(text.str(), error);
}
